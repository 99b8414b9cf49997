#include "stabledevicename.h"

#include <QFile>
#include <QFileInfo>

namespace radiosim {

// Whatever stands under the name (left by an earlier run) is replaced.
bool StableDeviceName::pointAt(const QString &device, QString &error)
{
    if (m_path.isEmpty())
        return true;
    remove();
    QFile::remove(m_path);
    if (!QFile::link(device, m_path)) {
        error = QStringLiteral("cannot make %1 lead to %2").arg(m_path, device);
        return false;
    }
    m_target = device;
    return true;
}

void StableDeviceName::remove()
{
    if (m_target.isEmpty())
        return;
    if (QFileInfo(m_path).symLinkTarget() == m_target)
        QFile::remove(m_path);
    m_target.clear();
}

} // namespace radiosim
