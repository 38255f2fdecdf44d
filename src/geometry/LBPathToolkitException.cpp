#include "geometry/LBPathToolkitException.h"

LBPathToolkitException::LBPathToolkitException(const QString& message, const QString& sourceFile)
    : std::logic_error((sourceFile + QStringLiteral(": ") + message).toStdString()),
      _message(message),
      _sourceFile(sourceFile)
{}
