#pragma once

namespace tallowmere {

// One monitor per working folder: an exclusive flock on the folder itself, opened with
// O_DIRECTORY, so that a folder where no file can be made is locked all the same. The
// kernel drops the lock when the process ends, however it ends: a crash leaves no stale
// lock behind.
class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Locks the current working folder for as long as this object lives. False, after the
  // line "FOLDER is in use by process PID", when another process holds it. A folder that
  // cannot be locked at all (a file system without locks) gives one line and counts as
  // taken: the monitor works there as it would without the lock.
  bool take();

 private:
  int fd_ = -1;
};

}  // namespace tallowmere
