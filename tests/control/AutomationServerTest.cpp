// The automation server on a real session bus (the test runs under
// dbus-run-session): the server and its clients are separate connections of
// this process; the methods run on the program's core with Life loaded.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "AutomationServer.h"
#include "Core.h"
#include "FrontEnd.h"
#include "TestPaths.h"

namespace tessra {
namespace {

// Test programs may share one bus: each process owns a name of its own.
const QString Service
    = QStringLiteral("Tessra.FrontEnd.Test%1").arg(QCoreApplication::applicationPid());

/// Serves events until `done` holds or `milliseconds` pass.
template <typename Condition> bool serveUntil(Condition done, int milliseconds = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

class AutomationServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected())
            << "run the tests under dbus-run-session";
        ASSERT_TRUE(m_core.frontEnd().loadModelFile(lifeModel()));
        m_server
            = std::make_unique<AutomationServer>(m_core, QDBusConnection::sessionBus(), Service);
        ASSERT_TRUE(m_server->start()) << m_server->errorText().toStdString();
    }
    void TearDown() override
    {
        m_core.frontEnd().pauseAndWait();
        m_server.reset();
        for (const QString& name : std::as_const(m_clients))
            QDBusConnection::disconnectFromBus(name);
    }

    /// A new connection to the session bus: a client of its own.
    QDBusConnection connectClient()
    {
        const QString name = QStringLiteral("client-%1").arg(++s_clientCount);
        m_clients.append(name);
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    }
    static QDBusMessage call(const QDBusConnection& client, const QString& destination,
        const QString& member, const QVariantList& arguments = {},
        const QString& interface = QStringLiteral("Tessra.FrontEnd"))
    {
        QDBusMessage message
            = QDBusMessage::createMethodCall(destination, "/FrontEnd", interface, member);
        message.setArguments(arguments);
        return client.call(message, QDBus::BlockWithGui, 5000);
    }
    static QVariantList invokeArguments(
        const QString& name, bool wantResult, const QVariantList& arguments)
    {
        QVariantList wrapped;
        for (const QVariant& argument : arguments)
            wrapped.append(QVariant::fromValue(QDBusVariant(argument)));
        QDBusArgument array;
        array.beginArray(QMetaType::fromType<QDBusVariant>());
        for (const QVariant& argument : wrapped)
            array << qvariant_cast<QDBusVariant>(argument);
        array.endArray();
        return { name, wantResult, QVariant::fromValue(array) };
    }
    QString serverName() const { return QDBusConnection::sessionBus().baseService(); }
    static bool nameOwned()
    {
        return QDBusConnection::sessionBus().interface()->isServiceRegistered(Service).value();
    }

    static QString lifeModel() { return QString::fromStdString(test::exampleModel("life")); }
    double tick() const { return m_core.model().simTime(); }
    QString param(const QString& name) const
    {
        return QString::number(*m_core.model().paramRef(name.toStdString()));
    }

    Core m_core;
    std::unique_ptr<AutomationServer> m_server;
    QStringList m_clients;
    static inline int s_clientCount = 0;
};

TEST_F(AutomationServerTest, first_client_is_served_and_the_name_is_given_up)
{
    EXPECT_TRUE(nameOwned());
    QDBusConnection client = connectClient();
    QSignalSpy attached(m_server.get(), &AutomationServer::clientAttached);

    const QDBusMessage tick = call(client, Service, "GetTick");
    ASSERT_EQ(tick.type(), QDBusMessage::ReplyMessage) << tick.errorMessage().toStdString();
    EXPECT_EQ(tick.signature(), "d");
    EXPECT_EQ(tick.arguments().value(0).toDouble(), 0.0);
    EXPECT_EQ(m_server->client(), client.baseService());
    ASSERT_EQ(attached.count(), 1);
    EXPECT_FALSE(nameOwned());

    // The client goes on through the instance's unique name.
    const QDBusMessage set = call(client, serverName(), "SetState", { 1, 2, "Age", "0.5" });
    ASSERT_EQ(set.type(), QDBusMessage::ReplyMessage) << set.errorMessage().toStdString();
    EXPECT_EQ(set.signature(), "n");
    EXPECT_EQ(set.arguments().value(0).value<qint16>(), 1);
    EXPECT_EQ(*m_core.model().stateRef(1, 2, "Age"), 0.5f);
    const QDBusMessage run = call(client, serverName(), "SimRun");
    EXPECT_EQ(run.type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(run.signature(), "");
    EXPECT_TRUE(m_core.frontEnd().isRunning());
}

TEST_F(AutomationServerTest, late_bound_calls_follow_the_dispatch_rules)
{
    QDBusConnection client = connectClient();
    const auto invoke = [&](const QString& name, bool wantResult, const QVariantList& arguments) {
        return call(client, Service, "Invoke", invokeArguments(name, wantResult, arguments));
    };
    QDBusMessage reply = invoke("setparam", true, { "Density", 2.5 });
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(reply.signature(), "v");
    const QVariant result = qvariant_cast<QDBusVariant>(reply.arguments().value(0)).variant();
    EXPECT_EQ(result.metaType(), QMetaType::fromType<qint16>());
    EXPECT_EQ(result.value<qint16>(), 1);

    reply = call(client, serverName(), "Invoke", invokeArguments("SimStep", false, {}));
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(
        qvariant_cast<QDBusVariant>(reply.arguments().value(0)).variant(), QVariant(QString()));

    struct Refusal {
        QString name;
        bool wantResult;
        QVariantList arguments;
        const char* error;
        const char* inMessage;
    };
    const QVariant omitted = QVariant::fromValue(QStringList());
    for (const Refusal& r :
        { Refusal { "GetParam", true, { "a", "b" }, "Tessra.Error.BadParamCount", "2 given" },
            Refusal { "SimRun", true, {}, "Tessra.Error.MemberNotFound", "SimRun" },
            Refusal { "Nothing", true, {}, "Tessra.Error.UnknownName", "Nothing" },
            Refusal {
                "GetState", true, { 1, "row", "a" }, "Tessra.Error.TypeMismatch", "Argument 2" },
            Refusal { "SetParam", true, { "Density", omitted }, "Tessra.Error.ParamNotOptional",
                "Argument 2" } }) {
        SCOPED_TRACE(r.name.toStdString());
        reply = call(
            client, serverName(), "Invoke", invokeArguments(r.name, r.wantResult, r.arguments));
        ASSERT_EQ(reply.type(), QDBusMessage::ErrorMessage);
        EXPECT_EQ(reply.errorName(), r.error);
        EXPECT_TRUE(reply.errorMessage().contains(r.inMessage))
            << reply.errorMessage().toStdString();
    }
    EXPECT_EQ(param("Density"), "2.5");
    EXPECT_EQ(tick(), 1.0);

    reply = call(client, serverName(), "Invoke", { "GetTick", true });
    EXPECT_EQ(reply.errorName(), "org.freedesktop.DBus.Error.InvalidArgs");
}

TEST_F(AutomationServerTest, typed_calls_report_errors_by_name)
{
    QDBusConnection client = connectClient();
    QDBusMessage reply = call(client, Service, "TimeSeriesGet", { "Average Alive" });
    ASSERT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(reply.errorName(), "Tessra.Error.Exception");
    EXPECT_EQ(reply.errorMessage(), "TFrontEnd: No time series \"Average Alive\" is selected");

    reply = call(client, serverName(), "GetState", { "x", 1, "a" });
    EXPECT_EQ(reply.errorName(), "Tessra.Error.TypeMismatch");
    reply = call(client, serverName(), "GetParam");
    EXPECT_EQ(reply.errorName(), "Tessra.Error.BadParamCount");
    reply = call(client, serverName(), "Launch");
    EXPECT_EQ(reply.errorName(), "Tessra.Error.UnknownName");
    // Texts for numbers are converted as in late-bound calls.
    ASSERT_EQ(call(client, serverName(), "SetState", { "3", 4.0, "Age", "7" }).type(),
        QDBusMessage::ReplyMessage);
    reply = call(client, serverName(), "GetState", { "3", "4", "Age" });
    EXPECT_EQ(reply.signature(), "s");
    EXPECT_EQ(reply.arguments().value(0).toString(), "7");
}

TEST_F(AutomationServerTest, other_clients_are_refused_but_may_introspect)
{
    QDBusConnection first = connectClient();
    QDBusConnection second = connectClient();
    ASSERT_EQ(call(first, Service, "SimStep").type(), QDBusMessage::ReplyMessage);

    const QDBusMessage refused = call(second, serverName(), "SimStep");
    EXPECT_EQ(refused.errorName(), "Tessra.Error.AccessDenied");
    EXPECT_EQ(tick(), 1.0);

    const QDBusMessage xml
        = call(second, serverName(), "Introspect", {}, "org.freedesktop.DBus.Introspectable");
    ASSERT_EQ(xml.type(), QDBusMessage::ReplyMessage) << xml.errorMessage().toStdString();
    const QString text = xml.arguments().value(0).toString();
    EXPECT_TRUE(text.contains("<interface name=\"Tessra.FrontEnd\">"));
    EXPECT_TRUE(text.contains("<method name=\"SetState\">\n"
                              "      <arg name=\"column\" type=\"i\" direction=\"in\"/>\n"
                              "      <arg name=\"row\" type=\"i\" direction=\"in\"/>\n"
                              "      <arg name=\"name\" type=\"s\" direction=\"in\"/>\n"
                              "      <arg name=\"value\" type=\"s\" direction=\"in\"/>\n"
                              "      <arg name=\"result\" type=\"n\" direction=\"out\"/>"));
    EXPECT_TRUE(text.contains("<method name=\"Release\"/>"));
}

TEST_F(AutomationServerTest, introspection_does_not_attach)
{
    QDBusConnection looker = connectClient();
    QDBusConnection client = connectClient();
    call(looker, Service, "Introspect", {}, "org.freedesktop.DBus.Introspectable");
    EXPECT_TRUE(nameOwned());
    ASSERT_EQ(call(client, Service, "SimStep").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(m_server->client(), client.baseService());
}

TEST_F(AutomationServerTest, calls_are_served_while_a_call_waits)
{
    QDBusConnection client = connectClient();
    ASSERT_EQ(call(client, Service, "SimStep").type(), QDBusMessage::ReplyMessage);
    // Three calls in a row: the wait of the first serves the other two, and
    // the last one ends the wait.
    QStringList answered;
    std::vector<std::unique_ptr<QDBusPendingCallWatcher>> watchers;
    for (const char* member : { "SimRunWait", "GetTick", "SimPause" }) {
        const QDBusMessage message
            = QDBusMessage::createMethodCall(serverName(), "/FrontEnd", "Tessra.FrontEnd", member);
        auto& watcher = watchers.emplace_back(
            std::make_unique<QDBusPendingCallWatcher>(client.asyncCall(message, 10000)));
        QObject::connect(watcher.get(), &QDBusPendingCallWatcher::finished, watcher.get(),
            [&answered, member](QDBusPendingCallWatcher* w) {
                answered.append(w->isError() ? w->error().name() : QString(member));
            });
    }
    ASSERT_TRUE(serveUntil([&] { return answered.size() == 3; }));
    EXPECT_EQ(answered, (QStringList { "GetTick", "SimPause", "SimRunWait" }));
    EXPECT_FALSE(m_core.frontEnd().isRunning());
}

TEST_F(AutomationServerTest, release_ends_the_service_once)
{
    QDBusConnection client = connectClient();
    QSignalSpy gone(m_server.get(), &AutomationServer::clientGone);
    ASSERT_EQ(call(client, Service, "SimStep").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(gone.count(), 0);

    EXPECT_EQ(call(client, serverName(), "Release").type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(serveUntil([&] { return gone.count() > 0; }));
    EXPECT_EQ(call(client, serverName(), "SimStep").errorName(), "Tessra.Error.AccessDenied");
    QDBusConnection::disconnectFromBus(m_clients.takeLast());
    serveUntil([] { return false; }, 300); // a closed connection must not signal again
    EXPECT_EQ(gone.count(), 1);
    EXPECT_EQ(tick(), 1.0);
}

TEST_F(AutomationServerTest, closing_the_clients_connection_ends_the_service)
{
    QSignalSpy gone(m_server.get(), &AutomationServer::clientGone);
    {
        QDBusConnection client = connectClient();
        ASSERT_EQ(call(client, Service, "GetLoadModelErr").type(), QDBusMessage::ReplyMessage);
    }
    QDBusConnection bystander = connectClient();
    EXPECT_EQ(call(bystander, serverName(), "SimStep").errorName(), "Tessra.Error.AccessDenied");
    EXPECT_EQ(gone.count(), 0);

    QDBusConnection::disconnectFromBus(m_clients.takeFirst());
    ASSERT_TRUE(serveUntil([&] { return gone.count() > 0; }));
}

TEST_F(AutomationServerTest, a_waiting_instance_takes_the_name_when_the_first_is_attached)
{
    QDBusConnection secondBus
        = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "second-instance");
    {
        // A second instance, here over the same core.
        AutomationServer second(m_core, secondBus, Service);
        ASSERT_TRUE(second.start());
        QDBusConnection one = connectClient();
        QDBusConnection two = connectClient();
        ASSERT_EQ(call(one, Service, "SimStep").type(), QDBusMessage::ReplyMessage);
        EXPECT_EQ(tick(), 1.0);
        ASSERT_TRUE(serveUntil([&] {
            return QDBusConnection::sessionBus().interface()->serviceOwner(Service).value()
                == secondBus.baseService();
        }));
        ASSERT_EQ(call(two, Service, "SimNew").type(), QDBusMessage::ReplyMessage);
        EXPECT_EQ(tick(), 0.0);
        EXPECT_EQ(m_server->client(), one.baseService());
        EXPECT_EQ(second.client(), two.baseService());
    }
    QDBusConnection::disconnectFromBus("second-instance");
}

TEST_F(AutomationServerTest, example_script_drives_the_server_and_releases_it)
{
    QSignalSpy gone(m_server.get(), &AutomationServer::clientGone);
    QTemporaryDir folder;
    const QString output = folder.filePath("life.txt");
    QProcess script;
    script.start("/usr/bin/python3",
        { TESSRA_SOURCE_DIR "/examples/automation.py", "--bus-name", Service, lifeModel(),
            "--output", output });
    ASSERT_TRUE(serveUntil([&] { return script.state() == QProcess::NotRunning; }, 60000));
    EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
    EXPECT_EQ(tick(), 200.0);
    EXPECT_EQ(m_core.frontEnd().worldSize(), QSize(64, 64));
    QFile exported(output);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    const QByteArray text = exported.readAll();
    EXPECT_TRUE(text.contains("Average Alive")) << text.left(400).toStdString();
    EXPECT_TRUE(text.contains("Density")) << text.left(400).toStdString();
    EXPECT_TRUE(serveUntil([&] { return gone.count() == 1; }));
}

} // namespace
} // namespace tessra
