#pragma once

#include "ctl/parameter_values.h"

namespace dx400::ctl {

// A profile holds the six drive parameters in the INI form, one "name = value" line each
// under the names of kParameterNames; blank lines and lines starting with # or ; are
// comments:
//
//   # DX-400 drive parameters, one "name = value" line each (dx400ctl profile).
//   current = 20
//   speed = 800
//   ...
//
// A person edits it without quoting anything, and a diff of two profiles shows one line
// per parameter that differs. It is read here line by line rather than with QSettings,
// which skips a line it cannot read without a word, takes the last of two lines for one
// name, knows no # comments and names no line: a profile that says anything else than
// the six values is refused, and the message names the line.

// The six texts of the profile at `path`, unread as numbers. Throws Failure (Usage) when
// the file cannot be read, has a line that is no comment and no "name = value" of one of
// the six, names one twice, or lacks one.
ParameterTexts readProfile(const QString& path);

// Writes the six values to `path` in panel order, replacing the file only once it is
// complete. Throws Failure (Usage) when that fails.
void writeProfile(const QString& path, const std::array<std::int32_t, 6>& values);

// Throws Failure (Usage) when a profile cannot be written at this path, so that save
// refuses before it sends anything.
void checkProfileWritable(const QString& path);

} // namespace dx400::ctl
