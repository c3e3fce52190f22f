// A small stand-in for the application framework's base class: it prepares
// the process, calls the initialisation hook once and ends with exit status
// 0. There is never a window or a message loop.
#pragma once

#include "platform/platform.h"

class CWinApp {
 public:
  explicit CWinApp(Platform& platform) : m_platform(platform) {}
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp() = default;

  virtual bool InitInstance() = 0;

  // The framework's start: no system error boxes for the whole run, then the
  // hook. Its result only says whether to run a message loop, and the
  // launcher never runs one, so the exit status is always 0.
  int Run() {
    m_platform.SuppressErrorDialogs();
    InitInstance();
    return 0;
  }

 protected:
  Platform& m_platform;
};
