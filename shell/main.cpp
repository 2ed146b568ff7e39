// Entry point: the application object, the main window and its message loop.
#include <windows.h>

#include <exception>

#include "forms/forms.h"
#include "shell/main_form.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  forms::Application& application = forms::TheApplication();
  try {
    application.Initialize();
    application.MainFormOnTaskBar = true;
    MainForm = application.CreateForm<TMainForm>();
    application.Run();
  } catch (const std::exception& error) {
    application.ShowException(forms::Widen(error.what()));
  } catch (...) {
    application.ShowException(L"");
  }
  return 0;
}
