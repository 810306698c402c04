#pragma once

#include <QByteArray>
#include <QString>

// A valid one-page PDF that shows `text`, with a correct cross-reference table, so that any
// PDF reader opens it. The same text gives the same bytes.
QByteArray OnePagePdf(const QString& text);
