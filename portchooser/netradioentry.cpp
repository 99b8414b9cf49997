#include "portchooser/netradioentry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QToolButton>

#include "netport/netaddress.h"
#include "portchooser/warningtext.h"

namespace {

constexpr int kRaw = 0;
constexpr int kRfc2217 = 1;

QString CleanFingerprint(QString text) { return text.remove(QRegularExpression(QStringLiteral("[:\\s]"))); }

// The ports of the README's ser2net example: raw TCP on 7000, RFC 2217 on
// 7001, RFC 2217 in TLS on 7002.
int ExampleServerPort(int protocol, bool tls)
{
    if (tls)
        return 7002;
    return protocol == kRaw ? 7000 : 7001;
}

} // namespace

CNetRadioEntry::CNetRadioEntry(QLineEdit* path, QWidget* parent)
    : QGroupBox(QStringLiteral("Or a radio on another machine (ser2net)"), parent), m_path(path)
{
    setObjectName(QStringLiteral("network"));
    auto* grid = new QGridLayout(this);
    AddAddressRow(grid);
    AddTlsRows(grid);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("addressProblem"));
    m_problem->setWordWrap(true);
    ShowAsWarning(*m_problem);
    grid->addWidget(m_problem, 5, 0, 1, 6);
    FillFrom(path->text());
    ShowTlsFields();
    OnPathEdited();
    connect(path, &QLineEdit::textChanged, this, &CNetRadioEntry::OnPathEdited);
}

void CNetRadioEntry::AddAddressRow(QGridLayout* grid)
{
    m_host = new QLineEdit(this);
    m_host->setObjectName(QStringLiteral("host"));
    m_host->setPlaceholderText(QStringLiteral("radio.example.net"));
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("netPort"));
    m_port->setRange(1, 65535);
    m_port->setValue(ExampleServerPort(kRfc2217, false));
    m_protocol = new QComboBox(this);
    m_protocol->setObjectName(QStringLiteral("protocol"));
    m_protocol->addItems({QStringLiteral("Raw TCP"), QStringLiteral("RFC 2217 (settings and DTR travel)")});
    m_protocol->setCurrentIndex(kRfc2217);
    grid->addWidget(new QLabel(QStringLiteral("Host:"), this), 0, 0);
    grid->addWidget(m_host, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Port:"), this), 0, 3);
    grid->addWidget(m_port, 0, 4);
    grid->addWidget(m_protocol, 0, 5);
    connect(m_host, &QLineEdit::textEdited, this, &CNetRadioEntry::Compose);
    connect(m_port, &QSpinBox::valueChanged, this, [this] {
        m_bPortChosen = m_bPortChosen || !m_bFollowing;
        Compose();
    });
    connect(m_protocol, &QComboBox::currentIndexChanged, this, &CNetRadioEntry::FollowExamplePort);
    connect(m_protocol, &QComboBox::currentIndexChanged, this, &CNetRadioEntry::Compose);
}

void CNetRadioEntry::AddTlsRows(QGridLayout* grid)
{
    m_tls = new QCheckBox(QStringLiteral("TLS"), this);
    m_tls->setObjectName(QStringLiteral("tls"));
    m_fingerprint = new QLineEdit(this);
    m_fingerprint->setObjectName(QStringLiteral("fingerprint"));
    m_fingerprint->setPlaceholderText(QStringLiteral("or the server certificate's SHA-256 fingerprint, instead of a CA"));
    grid->addWidget(m_tls, 1, 0);
    grid->addWidget(m_fingerprint, 1, 1, 1, 5);
    m_ca = AddFileRow(grid, 2, QStringLiteral("CA:"), "ca");
    m_cert = AddFileRow(grid, 3, QStringLiteral("Certificate:"), "cert");
    m_key = AddFileRow(grid, 4, QStringLiteral("Key:"), "key");
    connect(m_tls, &QCheckBox::toggled, this, &CNetRadioEntry::ShowTlsFields);
    connect(m_tls, &QCheckBox::toggled, this, &CNetRadioEntry::FollowExamplePort);
    connect(m_tls, &QCheckBox::toggled, this, &CNetRadioEntry::Compose);
    connect(m_fingerprint, &QLineEdit::textEdited, this, &CNetRadioEntry::Compose);
}

QLineEdit* CNetRadioEntry::AddFileRow(QGridLayout* grid, int row, const QString& caption, const char* name)
{
    auto* field = new QLineEdit(this);
    field->setObjectName(QLatin1String(name));
    auto* browse = new QToolButton(this);
    browse->setText(QStringLiteral("..."));
    grid->addWidget(new QLabel(caption, this), row, 0);
    grid->addWidget(field, row, 1, 1, 4);
    grid->addWidget(browse, row, 5, Qt::AlignLeft);
    connect(field, &QLineEdit::textEdited, this, &CNetRadioEntry::Compose);
    connect(browse, &QToolButton::clicked, this, [this, field, caption] {
        const QString file = QFileDialog::getOpenFileName(this, caption, field->text(),
                                                          QStringLiteral("PEM files (*.pem *.crt *.key);;All files (*)"));
        if (!file.isEmpty()) {
            field->setText(file);
            Compose();
        }
    });
    return field;
}

// An address already chosen shows in the fields; what cannot be read stays
// in the path field, with its problem below.
void CNetRadioEntry::FillFrom(const QString& url)
{
    QString problem;
    const std::optional<NetAddress> address = LooksLikeNetAddress(url) ? ParseNetAddress(url, problem) : std::nullopt;
    if (!address)
        return;
    m_filling = true;
    m_host->setText(address->host);
    m_port->setValue(address->port);
    m_protocol->setCurrentIndex(address->kind == NetAddress::Kind::Raw ? kRaw : kRfc2217);
    m_tls->setChecked(address->tls);
    m_ca->setText(address->caFile);
    m_cert->setText(address->certFile);
    m_key->setText(address->keyFile);
    m_fingerprint->setText(QString::fromLatin1(address->fingerprint.toHex()));
    m_filling = false;
    m_bPortChosen = true;
}

// Until the user picks a port, it is the one the README's ser2net example
// serves the chosen protocol on.
void CNetRadioEntry::FollowExamplePort()
{
    if (m_bPortChosen || m_filling)
        return;
    m_bFollowing = true;
    m_port->setValue(ExampleServerPort(m_protocol->currentIndex(), m_tls->isChecked()));
    m_bFollowing = false;
}

void CNetRadioEntry::Compose()
{
    if (m_filling || m_host->text().trimmed().isEmpty())
        return;
    NetAddress address;
    address.kind = m_protocol->currentIndex() == kRaw ? NetAddress::Kind::Raw : NetAddress::Kind::Rfc2217;
    address.host = m_host->text().trimmed().remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    address.port = quint16(m_port->value());
    address.tls = m_tls->isChecked();
    QString mistyped;
    if (address.tls) {
        address.caFile = m_ca->text().trimmed();
        address.certFile = m_cert->text().trimmed();
        address.keyFile = m_key->text().trimmed();
        const QString typed = CleanFingerprint(m_fingerprint->text());
        address.fingerprint = QByteArray::fromHex(typed.toLatin1());
        if (address.fingerprint.toHex() != typed.toLower().toLatin1()) {
            address.fingerprint.clear();
            mistyped = typed;
        }
    }
    // A fingerprint that is not hexadecimal goes in as typed, so that the
    // path field's check names it.
    m_path->setText(address.Url() + (mistyped.isEmpty() ? QString() : QStringLiteral("&fp=") + mistyped));
}

void CNetRadioEntry::OnPathEdited() { m_problem->setText(NetAddressProblem(m_path->text().trimmed())); }

void CNetRadioEntry::ShowTlsFields()
{
    for (QLineEdit* field : {m_ca, m_cert, m_key, m_fingerprint})
        field->setEnabled(m_tls->isChecked());
}
