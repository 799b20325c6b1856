// tallowmere: the FM/RDS receiver monitor. It reads ./tallowmere.ini and writes
// traffic.txt, metadata.txt and the station log in log/ in the folder it is started in;
// it takes no options. SIGTERM and SIGINT end it as closing its window does. A second
// monitor in the same folder writes nothing and ends with status 1.
#include <QApplication>

#include "output/FolderLock.h"
#include "platform/Monitor.h"
#include "platform/StopSignals.h"
#include "platform/ToolkitSession.h"

int main(int argc, char** argv) {
  tallowmere::FolderLock folderLock;
  if (!folderLock.take()) return 1;
  const tallowmere::ToolkitSession toolkit;
  QApplication app(argc, argv);
  tallowmere::Monitor monitor;
  const tallowmere::StopSignals stopSignals([] { QCoreApplication::quit(); });
  monitor.start();
  const int status = QApplication::exec();
  monitor.stop();
  return status;
}
