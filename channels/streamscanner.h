#pragma once
// Reads a byte buffer the way formatted input reads a text stream: a
// conversion that fails leaves its target alone and stops the rest of that
// call, and reading goes on from where it stopped. Zero bytes are ordinary
// characters here, as they are in a file.
#include <QByteArray>

class StreamScanner {
public:
    explicit StreamScanner(QByteArray text) : m_text(std::move(text)) {}

    bool AtEnd() const { return m_pos >= m_text.size(); }
    int Peek() const { return AtEnd() ? -1 : static_cast<unsigned char>(m_text[m_pos]); }
    int Get() { return AtEnd() ? -1 : static_cast<unsigned char>(m_text[m_pos++]); }

    void SkipSpace();                            // a blank in a format
    bool ReadInt(int& value, int width = 0);     // "%d", "%3d"
    bool ReadFloat(float& value);                // "%f"
    bool ReadDouble(double& value);              // "%lf"
    bool ReadChar(char& value);                  // "%c"
    bool ReadLineEnd();                          // exactly one "\n"
    void SkipLine();                             // up to and past the next "\n"
    // Up to `most` characters into `out`, stopping before a "\n", which is
    // taken too; how many were put there.
    qsizetype TakeLine(char* out, qsizetype most);

private:
    qsizetype NumberLength(bool allowFraction, int width) const;

    QByteArray m_text;
    qsizetype m_pos = 0;
};
