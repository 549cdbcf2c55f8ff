// A server that refuses, a wrong password, a server that never answers, and
// a connection killed or frozen in the middle of a transaction: each gives a
// clear message without the password, rolls the transaction back, and
// returns false without hanging or crashing. PostgreSQL configuration only.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "payroll/datasource.h"
#include "payroll/host.h"
#include "platform/db/connection.h"
#include "platform/db/postgres_backend.h"
#include "support/engine_fixture.h"

namespace payroll::testing {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A TCP socket on 127.0.0.1 bound to a free port; listening when asked
// (it then accepts connections into its backlog and never answers).
class LocalSocket {
  public:
    explicit LocalSocket(bool listen_on) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0 ||
            (listen_on && listen(fd_, 4) != 0))
            return;
        port_ = ntohs(a.sin_port);
    }
    ~LocalSocket() {
        if (fd_ >= 0) close(fd_);
    }
    int port() const { return port_; }

  private:
    int fd_ = -1;
    int port_ = 0;
};

class PgFaultTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!TestDatabaseIsPostgres()) GTEST_SKIP() << "needs the PostgreSQL configuration";
        url_ = TestDatabaseUrl();
        std::string error;
        ASSERT_TRUE(OpenTestDatabase(&schema_, &error)) << error;
        Exec("CREATE TABLE T (K VARCHAR(10) NOT NULL, N INTEGER)");
    }
    void TearDown() override {
        if (!url_.empty()) CloseTestDatabase(schema_);
    }

    void Exec(const std::string& sql) {
        G_DirectSQL direct;
        ASSERT_TRUE(direct.OnExecuteQuery(sql.c_str())) << direct.GetLastError().c_str();
    }
    std::string One(const std::string& sql) {
        G_DataSource ds;
        if (!ds.OnExecuteSQL(sql.c_str()) || ds.OnGetRecordCount() != 1) return "<failed>";
        return ds.OnGetFieldValue("V", 0).str();
    }
    // The URL with another user, password, port or database.
    std::string UrlWith(const std::string& userinfo, int port, const std::string& db) {
        return "postgresql://" + userinfo + "@127.0.0.1:" + std::to_string(port) + "/" + db;
    }
    // A second connection beside the test's own.
    std::unique_ptr<db::Backend> Second() {
        std::string error;
        auto b = db::OpenPostgresBackend(url_, &error);
        EXPECT_TRUE(b) << error;
        return b;
    }
    // Reopens the test database (its schema) after the connection was lost.
    void Reopen() {
        std::string error;
        ASSERT_TRUE(OpenDatabase(url_, &error)) << error;
        ASSERT_TRUE(
            db::Connection::Current()->backend().RunNative("SET search_path TO " + schema_, &error))
            << error;
    }
    // Inserts rows in a transaction that is left open; the server process's id.
    long BeginWork() {
        std::string error;
        EXPECT_TRUE(db::Connection::Current()->Begin(&error)) << error;
        std::string text;
        for (int i = 0; i < 600; ++i)
            text += "INSERT INTO T (K, N) VALUES ('k" + std::to_string(i) + "', " +
                    std::to_string(i) + ") ";
        Exec(text);
        return std::stol(One("SELECT pg_backend_pid() V"));
    }

    std::string url_, schema_;
};

TEST_F(PgFaultTest, ARefusedConnectionSaysSoAtOnce) {
    LocalSocket closed(false);  // bound, not listening: connections are refused
    ASSERT_NE(closed.port(), 0);
    std::string error;
    Clock::time_point start = Clock::now();
    EXPECT_FALSE(OpenDatabase(UrlWith("payroll:pw-never-shown", closed.port(), "x"), &error));
    EXPECT_LT(SecondsSince(start), 5.0);
    EXPECT_NE(error.find("refused"), std::string::npos) << error;
    EXPECT_NE(error.find(std::to_string(closed.port())), std::string::npos) << error;
    EXPECT_EQ(error.find("pw-never-shown"), std::string::npos) << error;
}

TEST_F(PgFaultTest, AServerThatNeverAnswersTimesOut) {
    LocalSocket silent(true);
    ASSERT_NE(silent.port(), 0);
    std::string error;
    Clock::time_point start = Clock::now();
    EXPECT_FALSE(
        OpenDatabase(UrlWith("payroll", silent.port(), "x") + "?connect_timeout=2", &error));
    EXPECT_LT(SecondsSince(start), 10.0);
    EXPECT_NE(error.find("cannot connect"), std::string::npos) << error;
}

TEST_F(PgFaultTest, AWrongPasswordIsRefusedAndNeverShown) {
    std::string role = "payroll_pw_" + std::to_string(getpid());
    std::string error;
    db::Backend& backend = db::Connection::Current()->backend();
    if (!backend.RunNative("CREATE ROLE " + role + " LOGIN PASSWORD 'right-secret-1'", &error))
        GTEST_SKIP() << "the test user cannot create roles: " << error;
    std::string host_part = url_.substr(url_.find('@') + 1);
    std::string wrong = "postgresql://" + role + ":wrong-secret-2@" + host_part;
    std::string right = "postgresql://" + role + ":right-secret-1@" + host_part;

    EXPECT_FALSE(db::OpenPostgresBackend(wrong, &error));
    EXPECT_NE(error.find("password"), std::string::npos) << error;
    EXPECT_EQ(error.find("wrong-secret-2"), std::string::npos) << error;

    auto ok = db::OpenPostgresBackend(right, &error);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(ok->DisplayName().find("secret"), std::string::npos) << ok->DisplayName();
    EXPECT_NE(ok->DisplayName().find(role + "@"), std::string::npos) << ok->DisplayName();
    // A failing statement's message does not carry it either.
    EXPECT_FALSE(ok->RunNative("SELECT 'right-secret-1' FROM no_such_table", &error));
    ok.reset();
    backend.RunNative("DROP ROLE " + role, &error);
}

TEST_F(PgFaultTest, AConnectionKilledMidTransactionCommitsNothing) {
    long pid = BeginWork();
    ASSERT_GT(pid, 0);
    auto other = Second();
    ASSERT_TRUE(other);
    std::string error;
    ASSERT_TRUE(
        other->RunNative("SELECT pg_terminate_backend(" + std::to_string(pid) + ")", &error))
        << error;

    // Everything after the kill fails with a clear message; nothing hangs.
    G_DirectSQL direct;
    EXPECT_FALSE(direct.OnExecuteQuery("INSERT INTO T (K, N) VALUES ('late', 1)"));
    EXPECT_NE(direct.GetLastError().str().find("connection"), std::string::npos)
        << direct.GetLastError().c_str();
    G_DataSource ds;
    EXPECT_FALSE(ds.OnExecuteSQL("SELECT K FROM T"));
    EXPECT_EQ(ds.OnGetRecordCount(), 0);
    EXPECT_FALSE(
        direct.OnExecuteQuery("INSERT INTO T (K, N) VALUES ('a', 1) "
                              "INSERT INTO T (K, N) VALUES ('b', 2)"));
    ds.OnCommitTrans();
    EXPECT_EQ(LastTransactionOutcome(), TransactionOutcome::kRolledBack);
    EXPECT_EQ(db::Connection::Current()->depth(), 0);

    Reopen();
    EXPECT_EQ(One("SELECT COUNT(*) V FROM T"), "0");
}

TEST_F(PgFaultTest, AFrozenServerProcessIsGivenUpOnAfterTheAnswerTime) {
    // A connection of its own with a short answer time.
    std::string error;
    db::PgOptions options;
    options.answer_seconds = 2;
    auto backend = db::OpenPostgresBackend(url_, &error, options);
    ASSERT_TRUE(backend) << error;
    ASSERT_TRUE(backend->RunNative("SET search_path TO " + schema_, &error)) << error;
    db::Connection::Install(std::make_unique<db::Connection>(std::move(backend)));
    long pid = BeginWork();
    ASSERT_GT(pid, 0);
    // Only a process of this machine that serves this very connection (its
    // title names the client's port) is stopped: a server elsewhere may
    // report a number that is some other process here.
    std::ifstream title("/proc/" + std::to_string(pid) + "/cmdline");
    std::string cmdline((std::istreambuf_iterator<char>(title)), std::istreambuf_iterator<char>());
    const std::string port = One("SELECT inet_client_port() V");
    if (cmdline.rfind("postgres", 0) != 0 || cmdline.find("(" + port + ")") == std::string::npos)
        GTEST_SKIP() << "the server does not run on this machine";
    if (kill(static_cast<pid_t>(pid), SIGSTOP) != 0)
        GTEST_SKIP() << "cannot signal the server process (not root?)";
    struct Resume {
        long pid;
        ~Resume() { kill(static_cast<pid_t>(pid), SIGCONT); }
    } resume{pid};

    Clock::time_point start = Clock::now();
    G_DirectSQL direct;
    EXPECT_FALSE(direct.OnExecuteQuery("INSERT INTO T (K, N) VALUES ('late', 1)"));
    EXPECT_LT(SecondsSince(start), 10.0);
    EXPECT_NE(direct.GetLastError().str().find("did not answer"), std::string::npos)
        << direct.GetLastError().c_str();
    EXPECT_EQ(LastTransactionOutcome(), TransactionOutcome::kRolledBack);
    kill(static_cast<pid_t>(pid), SIGCONT);

    Reopen();
    EXPECT_EQ(One("SELECT COUNT(*) V FROM T"), "0");
}

}  // namespace
}  // namespace payroll::testing
