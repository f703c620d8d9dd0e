// The program's own start-up, ending as soon as the main window has been
// shown and drawn once (see close_after_first_paint.h).
#include "app/program.h"
#include "close_after_first_paint.h"

int main(int argc, char* argv[])
{
    return dw::RunProgram(argc, argv, [](QWidget& window) { new CloseAfterFirstPaint(&window); });
}
