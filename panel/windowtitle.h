#pragma once
// The main window's title: the application's name, then whatever the
// operator must know without a box to click away (a lost port, a keyed
// transmitter, a silent radio), each in its own place, in a fixed order.
#include <QString>
#include <array>

class QWidget;

class CWindowTitle {
public:
    enum Part { Transmitting, PortProblem, RadioSilent, RecordProblem, PartCount };

    explicit CWindowTitle(QWidget* view) : m_view(view) {}

    // Empty words take the part out of the title. The title shows `shown`
    // when given, a shorter form of the words; Words gives them whole.
    void Set(Part part, const QString& words, const QString& shown = QString());
    void Clear(Part part) { Set(part, QString()); }
    QString Words(Part part) const { return m_words[part]; }

private:
    bool AnyShown() const;

    QWidget* m_view;
    QString m_baseTitle;  // the title before any part was shown
    std::array<QString, PartCount> m_words;
    std::array<QString, PartCount> m_shown;
};
