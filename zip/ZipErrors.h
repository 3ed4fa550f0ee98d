// The exceptions the ZIP reader raises and their message texts.
//
// Every reader exception derives from EZipError so a caller that only wants
// to know "the archive could not be used" catches one class; the sorted
// entry lists raise the framework's EListError.
#pragma once

#include "base/Exceptions.h"

namespace zv {

ZV_DECLARE_EXCEPTION(EZipError, Exception);
ZV_DECLARE_EXCEPTION(EIncompleteZip, EZipError);
ZV_DECLARE_EXCEPTION(ENotAZipFile, EZipError);
ZV_DECLARE_EXCEPTION(EBadZipFile, EZipError);
ZV_DECLARE_EXCEPTION(EUserCanceled, EZipError);
ZV_DECLARE_EXCEPTION(EFatalUnzipError, EZipError);
ZV_DECLARE_EXCEPTION(EOutputTooLarge, EZipError);
ZV_DECLARE_EXCEPTION(ECantWriteOutput, EZipError);

inline constexpr const char* SIncompleteZip = "Incomplete Zip File";
inline constexpr const char* SNotAZipFile = "Not a valid zip file!";
inline constexpr const char* SUserAborted = "User Aborted Operation";
inline constexpr const char* SPrematureEnd = "Premature end of file reached";
inline constexpr const char* SOutputTooLarge = "File is larger than uncompressed size!";
inline constexpr const char* SCantWriteOutput = "Cant write uncompressed file";
inline constexpr const char* SUnknownMethod = "Unknown Compression Method";
inline constexpr const char* SZipErrorCaption = "Zip Error";
inline constexpr const char* SSortedListPut = "Cannot <Put> an Object in a sorted list!";
inline constexpr const char* SDuplicateObject = "Duplicate Object index";

}  // namespace zv
