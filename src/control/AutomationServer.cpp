#include "AutomationServer.h"

#include <QAbstractEventDispatcher>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QMetaObject>

#include "AutomationRelay.h"

namespace tessra {

namespace {

const QString ReleaseMethod = QStringLiteral("Release");
const QString InvokeMethod = QStringLiteral("Invoke");

QString signatureOf(AutomationType type)
{
    switch (type) {
    case AutomationType::Text:
        return QStringLiteral("s");
    case AutomationType::Int16:
        return QStringLiteral("n");
    case AutomationType::Int32:
        return QStringLiteral("i");
    case AutomationType::Double:
        return QStringLiteral("d");
    case AutomationType::Bool:
        return QStringLiteral("b");
    case AutomationType::TextList:
        return QStringLiteral("as");
    case AutomationType::WorldSize:
        return QStringLiteral("(ii)");
    case AutomationType::SeriesSamples:
        return QStringLiteral("(adad)");
    case AutomationType::None:
        break;
    }
    return {};
}

bool isEmptyArray(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
        const auto argument = qvariant_cast<QDBusArgument>(value);
        if (argument.currentType() != QDBusArgument::ArrayType)
            return false;
        argument.beginArray();
        const bool empty = argument.atEnd();
        argument.endArray();
        return empty;
    }
    if (value.metaType() == QMetaType::fromType<QStringList>())
        return value.toStringList().isEmpty();
    if (value.metaType() == QMetaType::fromType<QByteArray>())
        return value.toByteArray().isEmpty();
    return false;
}

/// A received argument as the dispatcher takes it: variants unwrapped, an
/// empty array as a left-out argument.
QVariant plainArgument(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = qvariant_cast<QDBusVariant>(value).variant();
    return isEmptyArray(value) ? QVariant() : value;
}

QDBusMessage errorReply(const QDBusMessage& call, const AutomationError& error)
{
    return call.createErrorReply(automationErrorName(error.kind), error.message);
}

} // namespace

// The structured results travel as D-Bus structures: (ii) and (adad).
QDBusArgument& operator<<(QDBusArgument& argument, const AutomationWorldSize& size)
{
    argument.beginStructure();
    argument << size.width << size.height;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, AutomationWorldSize& size)
{
    argument.beginStructure();
    argument >> size.width >> size.height;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const AutomationSeriesSamples& samples)
{
    argument.beginStructure();
    argument << samples.ticks << samples.values;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, AutomationSeriesSamples& samples)
{
    argument.beginStructure();
    argument >> samples.ticks >> samples.values;
    argument.endStructure();
    return argument;
}

AutomationServer::AutomationServer(
    Core& core, const QDBusConnection& connection, const QString& serviceName, QObject* parent)
    : QDBusVirtualObject(parent)
    , m_dispatcher(core)
    , m_connection(connection)
    , m_serviceName(serviceName)
{
    qDBusRegisterMetaType<AutomationWorldSize>();
    qDBusRegisterMetaType<AutomationSeriesSamples>();
}

AutomationServer::~AutomationServer()
{
    if (m_objectRegistered)
        m_connection.unregisterObject(QString::fromLatin1(ObjectPath));
    if (m_nameRequested && m_connection.isConnected())
        m_connection.interface()->unregisterService(m_serviceName);
}

bool AutomationServer::start()
{
    if (!m_connection.isConnected()) {
        m_error
            = QStringLiteral("No D-Bus session bus: %1").arg(m_connection.lastError().message());
        return false;
    }
    if (!m_connection.registerVirtualObject(QString::fromLatin1(ObjectPath), this)) {
        m_error = QStringLiteral("The object %1 is already registered").arg(ObjectPath);
        return false;
    }
    m_objectRegistered = true;
    if (!m_onlyClient.isEmpty())
        attach(m_onlyClient);
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> answer
        = m_connection.interface()->registerService(m_serviceName,
            QDBusConnectionInterface::QueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!answer.isValid() || answer.value() == QDBusConnectionInterface::ServiceNotRegistered) {
        m_error = QStringLiteral("Cannot own the name %1: %2")
                      .arg(m_serviceName, answer.error().message());
        return false;
    }
    m_nameRequested = true;
    return true;
}

QString AutomationServer::interfaceXml()
{
    QString xml = QStringLiteral("  <interface name=\"%1\">\n").arg(InterfaceName);
    for (const AutomationMethod& method : AutomationDispatcher::methods()) {
        xml += QStringLiteral("    <method name=\"%1\">\n").arg(method.name);
        for (const AutomationArgument& argument : method.arguments)
            xml += QStringLiteral("      <arg name=\"%1\" type=\"%2\" direction=\"in\"/>\n")
                       .arg(argument.name, signatureOf(argument.type));
        if (method.result != AutomationType::None)
            xml += QStringLiteral("      <arg name=\"result\" type=\"%1\" direction=\"out\"/>\n")
                       .arg(signatureOf(method.result));
        xml += QStringLiteral("    </method>\n");
    }
    xml += QStringLiteral("    <method name=\"Invoke\">\n"
                          "      <arg name=\"name\" type=\"s\" direction=\"in\"/>\n"
                          "      <arg name=\"wantResult\" type=\"b\" direction=\"in\"/>\n"
                          "      <arg name=\"arguments\" type=\"av\" direction=\"in\"/>\n"
                          "      <arg name=\"result\" type=\"v\" direction=\"out\"/>\n"
                          "    </method>\n"
                          "    <method name=\"Release\"/>\n"
                          "  </interface>\n");
    return xml;
}

QString AutomationServer::introspect(const QString&) const
{
    return interfaceXml();
}

bool AutomationServer::handleMessage(const QDBusMessage& message, const QDBusConnection&)
{
    const QString interface = message.interface();
    if (!interface.isEmpty() && interface != QLatin1String(InterfaceName))
        return false; // introspection and the standard interfaces
    // Served from the event loop, never inside the bus library's delivery:
    // a waiting method runs a nested event loop and must not hold up the
    // delivery of further calls.
    QMetaObject::invokeMethod(
        this, [this, message] { serve(message); }, Qt::QueuedConnection);
    return true;
}

void AutomationServer::serve(const QDBusMessage& message)
{
    const QString sender = message.service();
    if (m_relay && !m_client.isEmpty() && sender != m_client) {
        m_relay->relay(message);
        return;
    }
    if (m_finished) {
        reply(message,
            message.createErrorReply(QString::fromLatin1(AccessDeniedError),
                QStringLiteral("This Tessra instance has been released")));
        return;
    }
    if (m_client.isEmpty())
        attach(sender);
    else if (sender != m_client) {
        reply(message,
            message.createErrorReply(QString::fromLatin1(AccessDeniedError),
                QStringLiteral("This Tessra instance serves another client")));
        return;
    }
    // A method may wait in a nested event loop. Started from a posted event,
    // that loop does not look at events posted before this one (the calls
    // that came in behind this one) until something else wakes it, with the
    // GLib event dispatcher at least: wake it once now.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
    const QString member = message.member();
    if (automationNameMatches(ReleaseMethod, member)) {
        reply(message, message.createReply());
        finish();
    } else if (automationNameMatches(InvokeMethod, member)) {
        reply(message, invokeLateBound(message));
    } else {
        reply(message, invokeTyped(message));
    }
}

void AutomationServer::attach(const QString& client)
{
    m_client = client;
    // Single use: give the name up so the next client gets a new instance,
    // unless the relay serves the next clients.
    if (m_nameRequested && !m_relay && m_onlyClient.isEmpty()) {
        m_connection.interface()->unregisterService(m_serviceName);
        m_nameRequested = false;
    }
    m_watcher = new QDBusServiceWatcher(
        client, m_connection, QDBusServiceWatcher::WatchForUnregistration, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { finish(); });
    emit clientAttached(client);
    // The client may have gone before the watch began.
    if (!m_connection.interface()->isServiceRegistered(client).value())
        QMetaObject::invokeMethod(
            this, [this] { finish(); }, Qt::QueuedConnection);
}

void AutomationServer::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    // Emitted from the event loop so the Release reply leaves first.
    QMetaObject::invokeMethod(
        this, [this] { emit clientGone(); }, Qt::QueuedConnection);
}

QDBusMessage AutomationServer::invokeLateBound(const QDBusMessage& message) const
{
    const QVariantList received = message.arguments();
    if (message.signature() != QLatin1String("sbav"))
        return message.createErrorReply(QDBusError::InvalidArgs,
            QStringLiteral("Invoke takes (s name, b wantResult, av arguments), not (%1)")
                .arg(message.signature()));
    QVariantList arguments;
    const auto array = qvariant_cast<QDBusArgument>(received.at(2));
    array.beginArray();
    while (!array.atEnd()) {
        QDBusVariant item;
        array >> item;
        arguments.append(plainArgument(item.variant()));
    }
    array.endArray();
    const AutomationReply answer
        = m_dispatcher.invoke(received.at(0).toString(), received.at(1).toBool(), arguments);
    if (!answer.ok())
        return errorReply(message, *answer.error);
    const QVariant value = answer.value.isValid() ? answer.value : QVariant(QString());
    return message.createReply(QVariant::fromValue(QDBusVariant(value)));
}

QDBusMessage AutomationServer::invokeTyped(const QDBusMessage& message) const
{
    const AutomationMethod* method = AutomationDispatcher::findMethod(message.member());
    QVariantList arguments;
    for (const QVariant& argument : message.arguments())
        arguments.append(plainArgument(argument));
    const bool hasResult = method && method->result != AutomationType::None;
    const AutomationReply answer = m_dispatcher.invoke(message.member(), hasResult, arguments);
    if (!answer.ok())
        return errorReply(message, *answer.error);
    return answer.value.isValid() ? message.createReply(answer.value) : message.createReply();
}

void AutomationServer::reply(const QDBusMessage& message, const QDBusMessage& answer) const
{
    if (message.isReplyRequired())
        m_connection.send(answer);
}

} // namespace tessra
