// Fenrik: tags photos with the positions of a GPS track.
#include "app/CFenrikApp.h"

int main(int argc, char** argv) {
    CFenrikApp app(argc, argv);
    if (app.InitInstance()) {
        app.Run();
    }
    return app.ExitInstance();
}
