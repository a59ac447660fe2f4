#include "commandline.h"

#include "datalocation.h"
#include "directqueue.h"
#include "funkboteservice.h"
#include "messagerecords.h"
#include "schema.h"
#include "startup.h"
#include "storecheck.h"
#include "storeconnection.h"
#include "twowaytables.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {

const QStringList commands = {u"send"_s, u"status"_s, u"queue"_s, u"inbox"_s, u"start"_s};

void out(const QString &text)
{
    std::fprintf(stdout, "%s\n", text.toUtf8().constData());
}

void err(const QString &text)
{
    std::fprintf(stderr, "funkbote: %s\n", text.toUtf8().constData());
}

// One line of a list: line breaks of a text as blanks.
QString oneLine(QString text)
{
    return text.replace(u"\r\n"_s, u" "_s).replace(u'\n', u' ').replace(u'\r', u' ');
}

QString json(const QJsonValue &value)
{
    const QJsonDocument document =
        value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    return QString::fromUtf8(document.toJson(QJsonDocument::Compact));
}

class Command
{
public:
    Command(QString name, QStringList arguments, QString dataDir, bool asJson, bool unread)
        : m_name(std::move(name)), m_arguments(std::move(arguments)), m_dataDir(std::move(dataDir)),
          m_json(asJson), m_unread(unread)
    {}

    int run()
    {
        const QString databasePath = StartupGuard::databasePath(m_dataDir);
        m_instance = StartupGuard::runningInstance(m_dataDir).has_value();
        if (!m_instance && m_name != u"start" && !QFileInfo(databasePath).isFile())
            return fail(NoDataFile,
                        QCoreApplication::translate(
                            "CommandLine",
                            "Es gibt keine Datei Daten.mdb in \"%1\". Starten Sie Funkbote einmal "
                            "(mit Fenster oder mit --headless) oder geben Sie den Ordner mit "
                            "--data an.")
                            .arg(m_dataDir));
        if (m_name == u"send")
            return send(databasePath);
        if (m_name == u"status")
            return status(databasePath);
        if (m_name == u"queue")
            return queue(databasePath);
        if (m_name == u"inbox")
            return inbox(databasePath);
        return start();
    }

private:
    int fail(int code, const QString &message, const QString &errorName = QString())
    {
        if (m_json) {
            QJsonObject object{{u"message"_s, message}};
            if (!errorName.isEmpty())
                object.insert(u"error"_s, errorName);
            out(json(object));
        } else {
            err(message);
        }
        return code;
    }

    QDBusMessage call(const QString &method, const QVariantList &arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QString::fromLatin1(FunkboteService::serviceName),
            QString::fromLatin1(FunkboteService::objectPath),
            QString::fromLatin1(FunkboteService::interfaceName), method);
        message.setArguments(arguments);
        // Only the instance that runs: a call must not start another one.
        message.setAutoStartService(false);
        return QDBusConnection::sessionBus().call(message, QDBus::Block, 30'000);
    }

    bool unreachable(const QDBusMessage &reply) const
    {
        return reply.type() == QDBusMessage::ErrorMessage &&
               !reply.errorName().startsWith(u"ch.funkbote."_s);
    }

    int failUnreachable(const QDBusMessage &reply)
    {
        return fail(Unreachable,
                    QCoreApplication::translate(
                        "CommandLine", "Funkbote läuft, ist aber über D-Bus nicht erreichbar: %1")
                        .arg(reply.errorMessage()));
    }

    std::optional<StoreConnection> readFile(const QString &databasePath, int *code)
    {
        // A file of another program or a damaged one is told, not read.
        if (StoreCheck check(databasePath, StoreCheck::Depth::Structure); !check.run()) {
            *code = fail(NoDataFile, check.lastError());
            return std::nullopt;
        }
        return std::make_optional<StoreConnection>(databasePath, u"Befehlszeile"_s, true);
    }

    int send(const QString &databasePath)
    {
        if (m_arguments.size() != 2)
            return fail(BadCommandLine,
                        QCoreApplication::translate(
                            "CommandLine", "Aufruf: funkbote send NUMMER TEXT (TEXT - liest "
                                           "die Standardeingabe)"));
        QString text = m_arguments.at(1);
        if (text == u"-") {
            QFile input;
            if (!input.open(stdin, QIODevice::ReadOnly))
                return fail(BadCommandLine,
                            QCoreApplication::translate(
                                "CommandLine", "Die Standardeingabe kann nicht gelesen werden."));
            text = QString::fromUtf8(input.readAll());
            if (text.endsWith(u'\n'))
                text.chop(text.endsWith(u"\r\n"_s) ? 2 : 1);
        }
        const QString number = m_arguments.at(0);
        ProgramSend result;
        if (m_instance) {
            const QDBusMessage reply = call(u"Send"_s, {number, text});
            if (unreachable(reply))
                return failUnreachable(reply);
            if (reply.type() == QDBusMessage::ErrorMessage)
                return fail(Refused, reply.errorMessage(), reply.errorName());
            result.id = reply.arguments().value(0).toULongLong();
        } else {
            if (StoreCheck check(databasePath, StoreCheck::Depth::Structure); !check.run())
                return fail(NoDataFile, check.lastError());
            QString storeError;
            result = DirectQueue(databasePath).send(number, text, &storeError);
            if (!storeError.isEmpty())
                return fail(NoDataFile,
                            QCoreApplication::translate(
                                "CommandLine", "Daten.mdb kann nicht geschrieben werden: %1")
                                .arg(storeError));
            if (!result.queued())
                return fail(Refused, result.message, ProgramSend::errorName(result.error));
        }
        if (m_json)
            out(json(QJsonObject{{u"id"_s, qint64(result.id)},
                                 {u"state"_s, u"queued"_s},
                                 {u"running"_s, m_instance}}));
        else if (m_instance)
            out(QCoreApplication::translate("CommandLine", "Nachricht %1 ist in der Warteschlange.")
                    .arg(result.id));
        else
            out(QCoreApplication::translate(
                    "CommandLine",
                    "Nachricht %1 ist in der Warteschlange. Funkbote läuft nicht; sie wird beim "
                    "nächsten Start versandt.")
                    .arg(result.id));
        return Ok;
    }

    int status(const QString &databasePath)
    {
        bool isNumber = false;
        const qulonglong id =
            m_arguments.size() == 1 ? m_arguments.at(0).toULongLong(&isNumber) : 0;
        if (!isNumber)
            return fail(BadCommandLine,
                        QCoreApplication::translate("CommandLine",
                                                    "Aufruf: funkbote status ID (die Zahl, die "
                                                    "\"funkbote send\" ausgab)"));
        MessageState state;
        const QDBusMessage reply = m_instance ? call(u"Status"_s, {id}) : QDBusMessage();
        if (m_instance && reply.type() == QDBusMessage::ReplyMessage) {
            state.detail = reply.arguments().value(1).toString();
            const QString name = reply.arguments().value(0).toString();
            out(m_json
                    ? json(QJsonObject{
                          {u"id"_s, qint64(id)}, {u"state"_s, name}, {u"detail"_s, state.detail}})
                    : QCoreApplication::translate("CommandLine", "Nachricht %1: %2 – %3")
                          .arg(id)
                          .arg(name, state.detail));
            return Ok;
        }
        // Without the running program (or when it does not answer) the
        // file tells what it knows.
        int code = Ok;
        std::optional<StoreConnection> connection = readFile(databasePath, &code);
        if (!connection)
            return code;
        const MessageRecords records(connection->database());
        const std::optional<MessageState> read = records.stateOf(qint64(id));
        if (!read)
            return fail(NoDataFile, QCoreApplication::translate(
                                        "CommandLine", "Daten.mdb kann nicht gelesen werden: %1")
                                        .arg(records.lastError()));
        out(m_json ? json(QJsonObject{{u"id"_s, qint64(id)},
                                      {u"state"_s, read->name()},
                                      {u"detail"_s, read->detail}})
                   : QCoreApplication::translate("CommandLine", "Nachricht %1: %2 – %3")
                         .arg(id)
                         .arg(read->name(), read->detail));
        return Ok;
    }

    int queue(const QString &databasePath)
    {
        QueuedMessages entries;
        bool answered = false;
        if (m_instance) {
            const QDBusReply<QueuedMessages> reply = call(u"Queue"_s);
            answered = reply.isValid();
            if (answered)
                entries = reply.value();
        }
        if (!answered) {
            int code = Ok;
            std::optional<StoreConnection> connection = readFile(databasePath, &code);
            if (!connection)
                return code;
            const MessageRecords records(connection->database());
            const std::optional<QList<PendingMessage>> rows = records.queued();
            if (!rows)
                return fail(NoDataFile,
                            QCoreApplication::translate("CommandLine",
                                                        "Daten.mdb kann nicht gelesen werden: %1")
                                .arg(records.lastError()));
            for (const PendingMessage &row : *rows)
                entries.append(QueuedMessage{quint64(row.id), row.recipient, row.message});
        }
        QJsonArray array;
        for (const QueuedMessage &entry : std::as_const(entries)) {
            if (m_json)
                array.append(QJsonObject{{u"id"_s, qint64(entry.id)},
                                         {u"number"_s, entry.number},
                                         {u"text"_s, entry.text}});
            else
                out(u"%1\t%2\t%3"_s.arg(entry.id).arg(entry.number, oneLine(entry.text)));
        }
        if (m_json)
            out(json(array));
        else if (entries.isEmpty())
            out(QCoreApplication::translate("CommandLine", "Die Warteschlange ist leer."));
        return Ok;
    }

    int inbox(const QString &databasePath)
    {
        int code = Ok;
        std::optional<StoreConnection> connection = readFile(databasePath, &code);
        if (!connection)
            return code;
        QList<InboxMessage> messages;
        if (connection->database().tables().contains(u"Inbox"_s)) {
            Inbox inbox(connection->database());
            const std::optional<QList<qint64>> ids = inbox.idsNewestFirst();
            const std::optional<QHash<qint64, InboxMessage>> rows =
                ids ? inbox.readById(*ids) : std::nullopt;
            if (!rows)
                return fail(NoDataFile,
                            QCoreApplication::translate("CommandLine",
                                                        "Daten.mdb kann nicht gelesen werden: %1")
                                .arg(inbox.lastError()));
            for (const qint64 id : *ids) {
                const InboxMessage message = rows->value(id);
                if (!m_unread || !message.read)
                    messages.append(message);
            }
        }
        QJsonArray array;
        for (const InboxMessage &message : std::as_const(messages)) {
            const QDateTime at = message.sentAt.isValid() ? message.sentAt : message.receivedAt;
            if (m_json)
                array.append(QJsonObject{{u"id"_s, message.id},
                                         {u"number"_s, message.sender},
                                         {u"text"_s, message.text},
                                         {u"time"_s, at.toUTC().toString(Qt::ISODate)},
                                         {u"read"_s, message.read},
                                         {u"stop"_s, message.stopRequest}});
            else
                out(u"%1\t%2\t%3"_s.arg(at.toLocalTime().toString(u"dd.MM.yyyy HH:mm:ss"_s),
                                        message.sender, oneLine(message.text)));
        }
        if (m_json)
            out(json(array));
        else if (messages.isEmpty())
            out(m_unread
                    ? QCoreApplication::translate("CommandLine", "Keine ungelesenen Nachrichten.")
                    : QCoreApplication::translate("CommandLine", "Der Eingang ist leer."));
        return Ok;
    }

    int start()
    {
        if (!m_instance)
            return fail(Unreachable,
                        QCoreApplication::translate(
                            "CommandLine", "Funkbote läuft nicht. Starten Sie es mit dem Fenster "
                                           "oder mit \"funkbote --headless\"."));
        const QDBusMessage reply = call(u"Start"_s);
        if (reply.type() == QDBusMessage::ErrorMessage)
            return failUnreachable(reply);
        out(m_json ? json(QJsonObject{{u"sending"_s, true}})
                   : QCoreApplication::translate("CommandLine", "Der Versand läuft."));
        return Ok;
    }

    QString m_name;
    QStringList m_arguments;
    QString m_dataDir;
    bool m_json;
    bool m_unread;
    bool m_instance = false;
};

} // namespace

bool isCommand(const QStringList &arguments)
{
    return arguments.size() > 1 && commands.contains(arguments.at(1));
}

int run(QCoreApplication &app)
{
    qDBusRegisterMetaType<QueuedMessage>();
    qDBusRegisterMetaType<QueuedMessages>();
    QCommandLineParser parser;
    const QCommandLineOption asJson(
        u"json"_s, QCoreApplication::translate("CommandLine", "Ausgabe als JSON."));
    const QCommandLineOption unread(
        u"unread"_s, QCoreApplication::translate("CommandLine", "Nur ungelesene Nachrichten."));
    const QCommandLineOption data(
        u"data"_s, QCoreApplication::translate("CommandLine", "Daten.mdb aus ORDNER verwenden."),
        QCoreApplication::translate("CommandLine", "ORDNER"));
    parser.addOptions({asJson, unread, data});
    parser.addHelpOption();
    // A text that begins with "-" follows "--"; "-" alone reads stdin.
    QStringList arguments = app.arguments();
    const QString name = arguments.takeAt(1);
    if (!parser.parse(arguments)) {
        err(parser.errorText());
        return BadCommandLine;
    }
    if (parser.isSet(u"help"_s)) {
        out(parser.helpText());
        return Ok;
    }
    if (parser.isSet(unread) && name != u"inbox") {
        err(QCoreApplication::translate("CommandLine",
                                        "--unread gilt nur für \"funkbote inbox\"."));
        return BadCommandLine;
    }
    const QStringList positional = parser.positionalArguments();
    if ((name == u"queue" || name == u"inbox" || name == u"start") && !positional.isEmpty()) {
        err(QCoreApplication::translate("CommandLine", "Unerwartetes Argument: %1")
                .arg(positional.constFirst()));
        return BadCommandLine;
    }
    const DataLocation location = DataLocation::choose(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), parser.value(data));
    return Command(name, positional, location.folder(), parser.isSet(asJson), parser.isSet(unread))
        .run();
}

} // namespace CommandLine
