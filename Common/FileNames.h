#pragma once
// Names for new files: a date and time in a form that can stand in a file
// name, and the first name of a series ("Report.txt", "Report#2.txt",
// "Report#3.txt", ...) that no file or folder has yet.

#include "CString.h"
#include "FilePath.h"
#include "SystemTime.h"

// "MM-dd-yyyy hh,mm,ss tt" in local time with the user's AM/PM marker; no
// colon, so it can be part of a file name. Empty for an extreme time and
// for one the platform cannot put as a date; the date alone when only the
// time of day cannot be put.
CString TimeStampText(const Corvane::SystemTime& time);

// `path` with a series number ("#<digits>" before the extension) taken off
// and "_" + the time stamp of `time` added (when there is one), then the
// first free name of its series.
FilePath FreeFileName(const FilePath& path, const Corvane::SystemTime& time);
