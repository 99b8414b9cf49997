#pragma once
// The real program in a process of its own, as a shell or a desktop menu
// starts it: a scratch home with its own start, config and data folders.
// "<root>" in a path or an argument stands for the scratch folder.
#include <QProcess>
#include <QStringList>
#include <QVariant>
#include <QTemporaryDir>

class ProgramDesk {
public:
    QString Path(const QString& relative) const;
    QStringList Paths(const QStringList& arguments) const;

    bool MapCom1To(const QString& device) const;
    bool SetProfileValue(const QString& key, const QVariant& value) const;
    // RadioChannelFile() as h350save.dat in the folder.
    bool PutChannelFileIn(const QString& folder) const;
    QByteArray ChannelFileIn(const QString& folder) const;

    // Starts the program in <root>/start. xdgDataHome: empty leaves
    // XDG_DATA_HOME unset. extra: variables added to the environment;
    // unset: variables taken out of it after that.
    void Start(QProcess& tavrin, const QStringList& arguments, const QString& xdgDataHome,
               const QProcessEnvironment& extra = QProcessEnvironment(), const QStringList& unset = {}) const;

private:
    QTemporaryDir m_root;
};
