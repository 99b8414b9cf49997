#pragma once
// The part of the port dialog for a radio on another machine (ser2net):
// host, port, raw TCP or RFC 2217, and TLS with its files or a pinned
// fingerprint. What is entered is composed into the dialog's path field as
// a URL; a URL typed there by hand is read, and what is wrong with it shown.
#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

class CNetRadioEntry : public QGroupBox {
    Q_OBJECT
public:
    // Writes into `path` and watches it; both live in the same dialog.
    CNetRadioEntry(QLineEdit* path, QWidget* parent);

private:
    void AddAddressRow(QGridLayout* grid);
    void AddTlsRows(QGridLayout* grid);
    QLineEdit* AddFileRow(QGridLayout* grid, int row, const QString& caption, const char* name);
    void FillFrom(const QString& url);
    void Compose();
    void OnPathEdited();
    void ShowTlsFields();
    void FollowExamplePort();

    QLineEdit* m_path;
    QLineEdit* m_host = nullptr;
    QSpinBox* m_port = nullptr;
    QComboBox* m_protocol = nullptr;
    QCheckBox* m_tls = nullptr;
    QLineEdit* m_ca = nullptr;
    QLineEdit* m_cert = nullptr;
    QLineEdit* m_key = nullptr;
    QLineEdit* m_fingerprint = nullptr;
    QLabel* m_problem = nullptr;
    bool m_filling = false;
    bool m_bFollowing = false;   // the port is being moved with the protocol
    bool m_bPortChosen = false;  // by the user, or by an address in the path
};
