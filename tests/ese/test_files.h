// Sample databases and patched copies of them for the engine's tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ese::testing {

// Path of a sample database in the shared test data ("basic", "text", ...).
std::string SamplePath(const std::string& name);

// A fresh temporary folder for one test; removed by its destructor.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::vector<std::uint8_t> ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Applies `change` to data page `pgno` of the file image and stores a
// valid checksum for the changed page, as the engine would have written it.
void PatchPage(std::vector<std::uint8_t>& image, std::uint32_t page_size, std::uint32_t pgno,
               const std::function<void(std::uint8_t* page)>& change);

std::uint16_t Get16(const std::uint8_t* p);
std::uint32_t Get32(const std::uint8_t* p);
void Put16(std::uint8_t* p, std::uint16_t v);
void Put32(std::uint8_t* p, std::uint32_t v);

}  // namespace ese::testing
