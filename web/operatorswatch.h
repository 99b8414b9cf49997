#pragma once
// The operator file as the running web panel last read it. The operators
// are added, removed and changed by another run of the program (the
// command line), so the panel looks at the file every couple of seconds
// and before each password it checks: an old password is refused at once,
// and a removed or changed operator's sessions can be ended.
#include <QByteArray>
#include <QStringList>
#include <optional>

#include "web/operatorstore.h"

class COperatorsWatch {
public:
    struct Change {
        COperatorStore operators;  // as the file now stands; empty when it cannot be read
        QStringList removed;
        QStringList changed;       // another password or role
        QString problem;           // why the file cannot be read, when it cannot
    };

    // The file as it is now is the one the panel started with.
    explicit COperatorsWatch(const QString& path);

    // None while the file is as last seen; what it now says otherwise,
    // compared with the operators the panel runs with.
    std::optional<Change> Look(const COperatorStore& current);

private:
    QByteArray Seen() const;

    QString m_path;
    QByteArray m_seen;
};
