// What a step of the engine came to: ok, or the failure of a step with the
// database's (or the engine's own) message. The status travels from the
// statement that failed up through the steps to the driver that stops on
// it, which places it (the run and the employee it was working on), and on
// to the road's report; only the exported methods turn it into their int
// and the host's last failure (payroll::LastEngineFailure).
#pragma once

#include <memory>
#include <string>
#include <utility>

namespace payroll::engine {

class [[nodiscard]] Status {
  public:
    // Ok. An ok status holds nothing: it costs what a bool costs to return.
    Status() = default;
    // A statement that did not run: the failure of `step` (the title the
    // engine traced or showed it under; empty for a statement no step names,
    // such as a count that only sizes a table) with the database's message.
    static Status Failed(std::string step, std::string detail);
    // The engine's own refusal: a step that ran no failing statement but
    // cannot go on (a run without pay-period windows, settings missing, an
    // incomplete run key), with its message.
    static Status Refused(std::string step, std::string detail);

    Status(const Status& other);
    Status& operator=(const Status& other);
    Status(Status&&) noexcept = default;
    Status& operator=(Status&&) noexcept = default;
    ~Status() = default;

    bool ok() const { return failure_ == nullptr; }
    // True for a refusal (see Refused): the drivers that go on past a step
    // the engine refused stop only where a statement failed.
    bool refused() const { return failure_ && failure_->refused; }
    // The failed step's name, its message, and where it was placed; empty
    // texts when ok.
    const std::string& step() const;
    const std::string& detail() const;
    const std::string& run() const;
    const std::string& employee() const;

    // The same failure placed in a run and at an employee (empty: none).
    Status At(std::string run, std::string employee) const;
    // The same failure under the name of the step that reports it.
    Status Named(std::string step) const;
    // Keeps the first failure that names its step: `next` replaces an ok
    // status, and an unnamed failure gives way to a named one.
    void Keep(Status next);

  private:
    struct Failure {
        std::string step;
        std::string detail;
        std::string run;
        std::string employee;
        bool refused = false;
    };
    explicit Status(std::unique_ptr<Failure> failure) : failure_(std::move(failure)) {}

    std::unique_ptr<Failure> failure_;
};

}  // namespace payroll::engine
