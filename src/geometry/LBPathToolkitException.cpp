#include "geometry/LBPathToolkitException.h"

LBPathToolkitException::LBPathToolkitException(const QString& message, const QString& sourceFile)
    : std::logic_error((sourceFile + QStringLiteral(": ") + message).toStdString()),
      m_message(message), m_sourceFile(sourceFile)
{
}
