#pragma once
// A small file named by the user, read without trusting the name: only a
// regular file, at most a megabyte, opened so that a FIFO or a device cannot
// hold the program up. A certificate, a key or the operator list is a few
// kilobytes; anything else behind its name is a mistake or a trap, refused
// with a sentence.
#include <QByteArray>
#include <QString>

constexpr qint64 kLargestNamedFile = 1024 * 1024;

// What is wrong with the file as one to read, or empty: `what` names it in
// the sentence ("CA", "key"). Reads nothing.
QString BoundedFileProblem(const QString& path, const char* what);

// Whether a file that others than its owner may read or change is read:
// a secret (a private key, password hashes) that others can see is refused.
enum class OthersMayRead { Yes, No };

// The whole file, or false with the sentence.
bool ReadBoundedFile(const QString& path, const char* what, QByteArray& bytes, QString& problem,
                     OthersMayRead others = OthersMayRead::Yes);
