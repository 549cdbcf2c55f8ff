#include "engine/common/status.h"

namespace payroll::engine {
namespace {

const std::string& NoText() {
    static const std::string empty;
    return empty;
}

}  // namespace

Status Status::Failed(std::string step, std::string detail) {
    return Status(
        std::make_unique<Failure>(Failure{std::move(step), std::move(detail), {}, {}, false}));
}

Status Status::Refused(std::string step, std::string detail) {
    return Status(
        std::make_unique<Failure>(Failure{std::move(step), std::move(detail), {}, {}, true}));
}

Status::Status(const Status& other)
    : failure_(other.failure_ ? std::make_unique<Failure>(*other.failure_) : nullptr) {}

Status& Status::operator=(const Status& other) {
    if (this != &other)
        failure_ = other.failure_ ? std::make_unique<Failure>(*other.failure_) : nullptr;
    return *this;
}

const std::string& Status::step() const {
    return failure_ ? failure_->step : NoText();
}

const std::string& Status::detail() const {
    return failure_ ? failure_->detail : NoText();
}

const std::string& Status::run() const {
    return failure_ ? failure_->run : NoText();
}

const std::string& Status::employee() const {
    return failure_ ? failure_->employee : NoText();
}

Status Status::At(std::string run, std::string employee) const {
    Status placed(*this);
    if (placed.failure_) {
        placed.failure_->run = std::move(run);
        placed.failure_->employee = std::move(employee);
    }
    return placed;
}

void Status::Keep(Status next) {
    if (next.ok()) return;
    if (ok() || (step().empty() && !next.step().empty())) *this = std::move(next);
}

Status Status::Named(std::string step) const {
    Status named(*this);
    if (named.failure_) named.failure_->step = std::move(step);
    return named;
}

}  // namespace payroll::engine
