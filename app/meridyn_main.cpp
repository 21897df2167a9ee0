// meridyn: the windowed program. The same interpreter and document as meridyn-cli, with the
// window as command line, history, object box and view.
#include "app/register_commands.h"
#include "ui/qt/shell_app.h"

int main(int argc, char** argv) {
    return runShell(argc, argv, &registerCommandHandlers);
}
