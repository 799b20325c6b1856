// tallowmere: the FM/RDS receiver monitor. It reads ./tallowmere.ini and writes
// traffic.txt and metadata.txt in the folder it is started in; it takes no options.
#include <QApplication>

#include "platform/Monitor.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tallowmere::Monitor monitor;
  monitor.start();
  return QApplication::exec();
}
