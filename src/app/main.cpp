#include "app/EditorApp.h"

int main()
{
    EditorApp app;
    return app.Run();
}
