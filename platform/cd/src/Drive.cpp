#include "platform/cd/Drive.h"

namespace lentaro::cd {

std::string Drive::name() const
{
    return m_letter ? std::string("CD drive ") + m_letter + ":" : std::string("CD drive");
}

} // namespace lentaro::cd
