#pragma once

// File-dialog filters: the "name|patterns|name|patterns||" form the pictures dialogs are
// described in, turned into Qt's "name (patterns);;name (patterns)".

#include <QString>

// Patterns are separated by spaces instead of ";". A name that already shows its
// patterns, such as "(*.jpg)" for "*.jpg", is kept as it stands instead of showing them
// twice. The list ends at the "||" (an empty name) or at the end of the text.
QString QtFileFilter(const char* filter);
