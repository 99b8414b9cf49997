#pragma once
// --add-operator NAME --role ROLE, --remove-operator NAME and
// --list-operators: the web panel's accounts kept from the command line,
// the only place a password can be set.
#include <QCommandLineOption>
#include <QList>
#include <QString>

#include "web/operatorrole.h"

class QCommandLineParser;

struct OperatorsCommandLine {
    enum class Action { None, Add, Remove, List };
    Action action = Action::None;
    QString name;
    OperatorRole role = OperatorRole::Listen;
};

struct OperatorsOptions {
    QCommandLineOption add{QStringLiteral("add-operator"),
                           QStringLiteral("Add <name> as an operator of the web panel, or change its role and password,"
                                          " and end; the password is asked for (or read as one line of standard input)."),
                           QStringLiteral("name")};
    QCommandLineOption role{QStringLiteral("role"),
                            QStringLiteral("With --add-operator: listen (sees all, changes nothing), operate (also tunes,"
                                           " recalls, scans), transmit (also keys) or watch (the fleet's operations page only)."),
                            QStringLiteral("role")};
    QCommandLineOption remove{QStringLiteral("remove-operator"),
                              QStringLiteral("Remove the web panel's operator <name> and end."), QStringLiteral("name")};
    QCommandLineOption list{QStringLiteral("list-operators"),
                            QStringLiteral("List the web panel's operators and their roles and end.")};
    QList<QCommandLineOption> All() const { return {add, role, remove, list}; }
};

// False, with problem set, for options that do not go together.
bool TakeOperatorsOptions(const QCommandLineParser& parser, const OperatorsOptions& given,
                          OperatorsCommandLine& command, QString& problem);
