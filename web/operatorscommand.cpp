#include "web/operatorscommand.h"

#include <cstdio>

#include "web/operatorname.h"
#include "web/operatorstore.h"
#include "web/passwordprompt.h"

namespace {

constexpr int kFileFailed = 1;
constexpr int kRefused = 2;

void Tell(const QString& text)
{
    std::fprintf(stderr, "tavrin: %s\n", qPrintable(text));
    std::fflush(stderr);
}

void Say(const QString& text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

int Add(COperatorStore& store, const OperatorsCommandLine& command)
{
    QString why;
    if (!IsUsableOperatorName(command.name, why)) {
        Tell(why);
        return kRefused;
    }
    std::optional<QByteArray> password = ReadNewPassword(command.name, why);
    if (!password) {
        Tell(why);
        return kRefused;
    }
    const bool known = store.Contains(command.name);
    const bool added = store.Add(command.name, command.role, *password, why);
    WipePassword(*password);
    if (!added) {
        Tell(why);
        return kRefused;
    }
    if (!store.Save(why)) {
        Tell(why);
        return kFileFailed;
    }
    Say(QStringLiteral("Operator %1 %2, role %3.")
            .arg(command.name, known ? QStringLiteral("changed") : QStringLiteral("added"), RoleName(command.role)));
    return 0;
}

int Remove(COperatorStore& store, const OperatorsCommandLine& command)
{
    if (!store.Remove(command.name)) {
        Tell(QStringLiteral("There is no operator by that name; nothing was changed."));
        return kRefused;
    }
    QString why;
    if (!store.Save(why)) {
        Tell(why);
        return kFileFailed;
    }
    Say(QStringLiteral("Operator %1 removed.").arg(command.name));
    return 0;
}

int List(const COperatorStore& store)
{
    for (const OperatorEntry& entry : store.Operators())
        Say(QStringLiteral("%1 %2").arg(entry.name, RoleName(entry.role)));
    if (store.IsEmpty())
        Say(QStringLiteral("No operators; add one with --add-operator NAME --role listen|operate|transmit."));
    return 0;
}

} // namespace

int RunOperatorsCommand(const OperatorsCommandLine& command)
{
    COperatorStore store;
    QString why;
    if (!store.Load(why)) {
        Tell(why);
        return kFileFailed;
    }
    switch (command.action) {
    case OperatorsCommandLine::Action::Add: return Add(store, command);
    case OperatorsCommandLine::Action::Remove: return Remove(store, command);
    case OperatorsCommandLine::Action::List: return List(store);
    case OperatorsCommandLine::Action::None: break;
    }
    return 0;
}
