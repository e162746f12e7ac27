// The strongly protected file's reader over arbitrary bytes: the header line, the
// base64 body and the decryption never crash, never open anything under a wrong key,
// and whatever is sealed opens again as it was.
#include <cstdint>
#include <string>

#include "common/protected_file.h"
#include "fuzz_support.h"

using vm::fuzz::Report;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  vm::SealHeader header;
  const bool parsed = vm::ReadSealHeader(bytes, header);
  if (parsed && !vm::LooksSealed(bytes)) Report(bytes, "a header that does not look like one");
  // Decryption runs only for cheap keys: a file may ask for millions of rounds.
  if (parsed && header.iterations <= 1000) {
    std::string plain = "stale";
    vm::UnsealStatus status = vm::Unseal(bytes, "Пароль ^|# тайна", plain);
    if (status != vm::UnsealStatus::kOpened && !plain.empty()) Report(bytes, "a refused file left plaintext");
    // The password of the seed files opens them; no other password opens anything.
    if (vm::Unseal(bytes, "wrong", plain) == vm::UnsealStatus::kOpened) Report(bytes, "a wrong password opened");
  }

  std::string decoded;
  if (vm::ReadBase64Lines(bytes, decoded) && vm::Base64Lines(decoded) != bytes)
    Report(bytes, "base64 read back differs");

  // Every input as the plaintext of a file, under the fewest rounds.
  if (size % 4 == 0) {
    std::string sealed, back;
    if (!vm::Seal(bytes, "p", 1, sealed)) Report(bytes, "sealing failed");
    if (vm::Unseal(sealed, "p", back) != vm::UnsealStatus::kOpened || back != bytes)
      Report(bytes, "a sealed file does not open as it was");
  }
  return 0;
}
