#include "image/image_buffer.h"

namespace zelkor {

std::string FileNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string Quoted(const std::string& name) {
  return '"' + name + '"';
}

}  // namespace zelkor
