#pragma once

#include <QIcon>

// The program's own icon at every size it is drawn at, for the windows' title bars
// and task switchers (the desktop entry installs the same pictures).
QIcon applicationIcon();
