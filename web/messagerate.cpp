#include "web/messagerate.h"

#include <algorithm>

CMessageRate::CMessageRate(int perSecond, int burst) : m_perSecond(perSecond), m_burst(burst), m_tokens(burst)
{
    m_since.start();
}

bool CMessageRate::Take()
{
    m_tokens = std::min<double>(m_burst, m_tokens + double(m_since.restart()) * m_perSecond / 1000.0);
    if (m_tokens < 1.0) {
        ++m_refusedInARow;
        return false;
    }
    m_tokens -= 1.0;
    m_refusedInARow = 0;
    return true;
}
