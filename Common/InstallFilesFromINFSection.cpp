#include "InstallFilesFromINFSection.h"

#include <setupapi.h>

#include "RegistryKey.h"
#include "RegistryValueIterator.h"
#include "Trace.h"

namespace {

// One installation runs at a time in a process, so plain values will do.
int g_promptSuppression = 1;
bool g_needMediaToggle = true;

const char kSetupKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";

}  // namespace

InstallFilesFromINFSection::InstallFilesFromINFSection(const INFSection& section) : section_(section) {
  RegistryKey setup(kSetupKey, RegistryKey::kKeyAccess);
  if (!setup.Open(RegistryKey::kKeyAccess)) return;
  RegistryValueIterator value = setup.FindValue("SourcePath");
  if (value.IsValid()) sourcePath = value->AsString();
}

InstallFilesFromINFSection::~InstallFilesFromINFSection() {
  // The file may outlive this object in a line position; its queue may not.
  if (INFFile* file = section_.File()) file->CloseFileQueue();
}

bool InstallFilesFromINFSection::SetDirectoryId(DWORD id, const CString& folder) {
  INFFile* file = section_.File();
  return file && file->SetDirectoryId(id, folder);
}

bool InstallFilesFromINFSection::Install(int promptSuppression, DWORD copyFlags) {
  g_promptSuppression = promptSuppression;
  // The platform asks for media once per queue even when the files are
  // there, so a toggle left by an earlier queue would make this one give up
  // on a source that holds them: every attempt starts ready to look again.
  g_needMediaToggle = true;
  INFFile* file = section_.File();
  return file && file->OpenFileQueue() && file->QueueSectionFiles(section_.SectionName(), sourcePath, copyFlags) &&
         file->CommitFileQueue(&InstallFilesFromINFSection::QueueCallback);
}

UINT CALLBACK InstallFilesFromINFSection::QueueCallback(void* context, UINT notification, UINT_PTR param1,
                                                        UINT_PTR param2) {
  // The context is the file whose queue is committing (INFFile::CommitFileQueue).
  INFFile* file = static_cast<INFFile*>(context);
  auto platformAnswer = [&] { return file ? file->DefaultQueueAnswer(notification, param1, param2) : 0u; };
  if (!g_promptSuppression) return platformAnswer();
  switch (notification) {
    case SPFILENOTIFY_DELETEERROR:
    case SPFILENOTIFY_RENAMEERROR:
    case SPFILENOTIFY_COPYERROR:
      return FILEOP_ABORT;
    case SPFILENOTIFY_LANGMISMATCH:
      return 0;  // the file is not copied
    case SPFILENOTIFY_NEEDMEDIA:
      Trace("SPFILENOTIFY_NEEDMEDIA\n");
      // The platform asks again after "look again" while the source is
      // missing, so a missing source ends on the second request.
      g_needMediaToggle = !g_needMediaToggle;
      return g_needMediaToggle ? FILEOP_ABORT : FILEOP_DOIT;
    default:
      return platformAnswer();
  }
}
