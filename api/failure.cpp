#include "failure.h"

namespace teds {

std::string describeCode(int code) {
  switch (code) {
    case -1:
      return "not decoded: no template takes this image";
    case -11:
      return "template file not opened";
    case -12:
      return "template not in the template file";
    case -13:
      return "bad template kind";
    case -21:
      return "buffer too small";
    case -53:
      return "field array not filled";
    case -69:
      return "template or manufacturer file not opened";
    case -83:
      return "date not in three parts (month/day/year)";
    case -739:
      return "missing argument";
    case -894:
      return "label not found";
    default:
      return "result code " + std::to_string(code);
  }
}

}  // namespace teds
