#include "app/pages/main_page.h"

#include "app/pages/main_pages.h"
#include "link/wait_for.h"
#include "platform/forms/form.h"
#include "platform/forms/notebook.h"

TMainPage::TMainPage(TMainPages& pages, int index)
    : pages_(pages),
      session_(pages.Session()),
      progress_(pages.Progress()),
      b_(&pages.Window()),
      index_(index),
      sheet_(pages.Notebook().Page(index)) {}

void TMainPage::Show() { pages_.ShowPage(index_); }

TForm& TMainPage::Window() const { return pages_.Window(); }

void TMainPage::LetWindowsRepaint() { PumpMessages(); }
