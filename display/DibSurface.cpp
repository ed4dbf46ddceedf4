#include "display/DibSurface.h"

#include <cstdlib>

CDibSurface::~CDibSurface() {
    if (m_pInfo == nullptr) return;
    if (m_isSection && m_hBitmap != nullptr) ::DeleteObject(m_hBitmap);
    std::free(m_pInfo);
}
