#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A valid one-page PDF that shows `text`, with a correct cross-reference table, so that any
// PDF reader opens it. The same text gives the same bytes.
QByteArray OnePagePdf(const QString& text);

// A PDF made of `objects`, numbered from 1 in this order, object 1 being the catalog, with a
// correct cross-reference table.
QByteArray PdfWithObjects(const QList<QByteArray>& objects);
