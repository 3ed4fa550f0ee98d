// Entry of every Windows test binary: the framework's application object
// exists for the whole run, as it does in the program.
#include <gtest/gtest.h>

#include "vcl/Forms.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    zv::InitApplication();
    zv::Application->Initialize();
    zv::Application->SetTitle("Player Installer");
    const int rc = RUN_ALL_TESTS();
    zv::DoneApplication();
    return rc;
}
