#include "fleet/outbox.h"

#include <QJsonDocument>
#include <QSaveFile>
#include <unistd.h>

#include "fleet/fleetlog.h"

namespace {

QByteArray Line(const QJsonObject& object) { return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n'; }

quint64 Number(const QJsonValue& value) { return value.isDouble() && value.toDouble() >= 0 ? quint64(value.toDouble()) : 0; }

} // namespace

bool COutbox::Open(const QString& path, QString& why)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Append)) {
        why = QStringLiteral("cannot keep the fleet's outbox %1: %2").arg(path, m_file.errorString());
        return false;
    }
    m_file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    Read();
    // What was delivered need not be read again at the next start.
    if (m_lines > 2 * qint64(m_owed.size()) + 16)
        Restart();
    return true;
}

void COutbox::Read()
{
    m_file.seek(0);
    while (!m_file.atEnd()) {
        const QByteArray text = m_file.readLine();
        ++m_lines;
        if (!text.endsWith('\n'))
            break;
        const QJsonObject line = QJsonDocument::fromJson(text).object();
        if (line.contains(QLatin1String("n"))) {
            const quint64 n = Number(line.value(QLatin1String("n")));
            const QString topic = line.value(QLatin1String("topic")).toString();
            if (n > 0 && !topic.isEmpty())
                m_owed[n] = Entry{topic, line.value(QLatin1String("payload")).toObject()};
            m_next = std::max(m_next, n + 1);
        } else if (line.contains(QLatin1String("sent")) || line.contains(QLatin1String("given_up"))) {
            m_owed.erase(Number(line.value(line.contains(QLatin1String("sent")) ? QLatin1String("sent")
                                                                                : QLatin1String("given_up"))));
        } else if (line.contains(QLatin1String("not_sent"))) {
            m_notSent = Number(line.value(QLatin1String("not_sent")));
        } else if (line.contains(QLatin1String("next"))) {
            m_next = std::max(m_next, Number(line.value(QLatin1String("next"))));
        }
    }
    while (int(m_owed.size()) > m_mostOwed) {
        m_owed.erase(m_owed.begin());
        ++m_notSent;
    }
}

quint64 COutbox::Add(const QString& topic, QJsonObject payload)
{
    const quint64 n = m_next++;
    payload.insert(QStringLiteral("n"), double(n));
    m_owed[n] = Entry{topic, payload};
    if (int(m_owed.size()) > m_mostOwed) {
        Note({{QStringLiteral("given_up"), double(m_owed.begin()->first)}});
        m_owed.erase(m_owed.begin());
        ++m_notSent;
        Note({{QStringLiteral("not_sent"), double(m_notSent)}});
    }
    Note({{QStringLiteral("n"), double(n)}, {QStringLiteral("topic"), topic}, {QStringLiteral("payload"), payload}},
         true);
    return n;
}

void COutbox::Sent(quint64 n)
{
    if (m_owed.erase(n) == 0)
        return;
    if (m_owed.empty() && m_notSent == 0)
        return Restart();
    Note({{QStringLiteral("sent"), double(n)}});
}

void COutbox::NotSentTold(quint64 count)
{
    m_notSent -= std::min(count, m_notSent);
    Note({{QStringLiteral("not_sent"), double(m_notSent)}});
}

// On the disk before it returns when `sync`: a message owed outlives a
// power cut; an acknowledgement lost to one only sends a message twice.
void COutbox::Note(const QJsonObject& line, bool sync)
{
    if (!m_file.isOpen())
        return;
    ++m_lines;
    if (m_file.write(Line(line)) < 0 || !m_file.flush())
        qCWarning(lcFleet).noquote() << "cannot write the fleet's outbox" << m_file.fileName() << m_file.errorString();
    else if (sync)
        ::fdatasync(m_file.handle());
    if (m_lines > 4 * qint64(m_mostOwed) + 16)
        Restart();
}

// The file begun anew with only what is still owed.
void COutbox::Restart()
{
    QByteArray text = Line({{QStringLiteral("next"), double(m_next)}});
    if (m_notSent > 0)
        text += Line({{QStringLiteral("not_sent"), double(m_notSent)}});
    for (const auto& [n, entry] : m_owed)
        text += Line({{QStringLiteral("n"), double(n)}, {QStringLiteral("topic"), entry.topic},
                      {QStringLiteral("payload"), entry.payload}});
    const QString path = m_file.fileName();
    QSaveFile fresh(path);
    if (!fresh.open(QIODevice::WriteOnly) || fresh.write(text) != text.size() || !fresh.commit()) {
        qCWarning(lcFleet).noquote() << "cannot begin the fleet's outbox anew" << path << fresh.errorString();
        return;
    }
    m_file.close();
    m_file.open(QIODevice::ReadWrite | QIODevice::Append);
    m_file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_lines = 1 + qint64(m_owed.size()) + (m_notSent > 0 ? 1 : 0);
}
