#include "web/operatorsoptions.h"

#include <QCommandLineParser>

namespace {
bool TakeRole(const QCommandLineParser& parser, const OperatorsOptions& given, OperatorsCommandLine& command,
              QString& problem)
{
    const bool adding = command.action == OperatorsCommandLine::Action::Add;
    if (parser.isSet(given.role) && !adding) {
        problem = QStringLiteral("--role goes with --add-operator.");
        return false;
    }
    if (!adding)
        return true;
    const std::optional<OperatorRole> role = RoleFromName(parser.value(given.role));
    if (!role) {
        problem = QStringLiteral("--add-operator needs --role listen, --role operate, --role transmit or --role watch.");
        return false;
    }
    command.role = *role;
    return true;
}
} // namespace

bool TakeOperatorsOptions(const QCommandLineParser& parser, const OperatorsOptions& given,
                          OperatorsCommandLine& command, QString& problem)
{
    const bool adding = parser.isSet(given.add);
    const bool removing = parser.isSet(given.remove);
    const bool listing = parser.isSet(given.list);
    if (int(adding) + int(removing) + int(listing) > 1) {
        problem = QStringLiteral("--add-operator, --remove-operator and --list-operators go one at a time.");
        return false;
    }
    command.action = adding   ? OperatorsCommandLine::Action::Add
                   : removing ? OperatorsCommandLine::Action::Remove
                   : listing  ? OperatorsCommandLine::Action::List
                              : OperatorsCommandLine::Action::None;
    command.name = adding ? parser.value(given.add) : removing ? parser.value(given.remove) : QString();
    return TakeRole(parser, given, command, problem);
}
