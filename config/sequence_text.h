#pragma once

#include <string>

#include <QString>

namespace sortwell::config {

// The stored sequence, lines ended by CR LF or CR, as the editor shows it: lines ended by LF.
QString SequenceForEditor(const std::string& text);

// The editor's text back as the runner and the store take it, lines ended by CR LF. The
// separators and no-break spaces that a plain text editor gives back as LF and space are
// changed here the same way.
std::string SequenceFromEditor(QString text);

// What the editor would give back after being filled with `text`.
std::string SequenceAsEdited(const std::string& text);

}  // namespace sortwell::config
