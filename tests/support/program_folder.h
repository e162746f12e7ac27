// A test that runs in a fresh program folder: the scratch folder and the program's
// settings and folders over it, which the test hands to the code it drives. What the
// platform reports as the running program's folder is left as it is.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "common/app_util.h"
#include "support/scratch.h"

namespace vm::testing {

class ProgramFolderTest : public ::testing::Test {
 protected:
  // Makes the named sub-folders of the program folder ("Support", "Temp", "Personal").
  void MakeFolders(std::initializer_list<const char*> names) const;
  // Copies a file the program ships in support/ (a report template) into "Support",
  // which must exist.
  void CopyShippedSupportFile(const std::string& name) const;

  ScratchFolder dir_;
  // The settings file is "Velmoria.ini" in the scratch folder.
  const CAppUtil app_{dir_.path(), "Velmoria"};
};

}  // namespace vm::testing
