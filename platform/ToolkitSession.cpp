#include "platform/ToolkitSession.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace tallowmere {
namespace {

// A message of the toolkit, on one line of the monitor's own.
void toolkitMessage(QtMsgType /*type*/, const QMessageLogContext& /*where*/, const QString& message) {
  QByteArray text = message.toLocal8Bit();
  text.replace('\n', ' ');
  std::fprintf(stderr, "tallowmere: toolkit: %s\n", text.constData());
}

// The toolkit takes a runtime folder only when it is this user's and closed to others.
bool usableRuntimeFolder(const char* path) {
  struct stat folder {};
  return path != nullptr && *path != '\0' && ::stat(path, &folder) == 0 && S_ISDIR(folder.st_mode) &&
         folder.st_uid == ::geteuid() && (folder.st_mode & 0777) == 0700;
}

}  // namespace

ToolkitSession::ToolkitSession() {
  qInstallMessageHandler(toolkitMessage);
  if (usableRuntimeFolder(std::getenv("XDG_RUNTIME_DIR"))) return;
  std::error_code noTemp;
  std::string folder = (std::filesystem::temp_directory_path(noTemp) / "tallowmere-runtime-XXXXXX").string();
  // mkdtemp makes it with mode 0700; should it fail, the toolkit says why on a line of its own.
  if (::mkdtemp(folder.data()) == nullptr) return;
  runtimeFolder_ = folder;
  ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

ToolkitSession::~ToolkitSession() {
  std::error_code ignored;
  if (!runtimeFolder_.empty()) std::filesystem::remove_all(runtimeFolder_, ignored);
}

}  // namespace tallowmere
