// The information windows' pictures and help text, embedded in the program
// (resources/infowin.qrc).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace zorbix {

// `nom`: a file of resources/ listed there, e.g. "schema.bmp"; its bytes
// as embedded, or nothing if it is not.
QByteArray ContenuRessource(const char* nom);
QImage ImageInformation(const char* nom);
QString TexteAide();

}  // namespace zorbix
