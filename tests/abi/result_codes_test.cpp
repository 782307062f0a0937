// The numbers behind the result codes are part of the binary interface: callers compare
// with them. Every other test uses the names; this one holds the values.
#include <gtest/gtest.h>

#include <cstdint>

#include "tedskit/calden.h"
#include "tedskit/dorvia.h"
#include "tedskit/ferrun.h"
#include "tedskit/orlin.h"
#include "tedskit/owbus.h"
#include "tedskit/pellam.h"
#include "tedskit/quillon.h"

namespace {

struct Code {
  const char* name;
  int32_t value;
  int32_t pinned;
};

#define CODE(name, pinned) \
  Code { #name, name, pinned }

TEST(ResultCodes, KeepTheirNumbers) {
  const Code codes[] = {
      CODE(ORLIN_OK, 0),
      CODE(ORLIN_FILE_NOT_OPENED, -3),
      CODE(ORLIN_SCANNER_FAILED, -4),
      CODE(ORLIN_SC_NO_VALUE, -5),
      CODE(DORVIA_ERR_MISSING_ARGUMENT, -739),
      CODE(DORVIA_ERR_FILE_NOT_OPENED, -11),
      CODE(DORVIA_ERR_TEMPLATE_NOT_FOUND, -12),
      CODE(DORVIA_ERR_BUFFER_TOO_SMALL, -21),
      CODE(DORVIA_ERR_NOT_FILLED, -53),
      CODE(DORVIA_ERR_LABEL_NOT_FOUND, -894),
      CODE(DORVIA_ERR_NOT_THREE_PARTS, -83),
      CODE(PELLAM_MISSING_ARGUMENT, -739),
      CODE(QUILLON_ERR_NOT_DECODED, -1),
      CODE(QUILLON_ERR_BAD_LIST_KIND, -13),
      CODE(QUILLON_ERR_BUFFER_TOO_SMALL, -21),
      CODE(QUILLON_ERR_FILE_NOT_OPENED, -69),
      CODE(QUILLON_ERR_MISSING_ARGUMENT, -739),
      CODE(FERRUN_FAILED, 0),
      CODE(FERRUN_DONE, 1),
      CODE(FERRUN_ADAPTER_CHECK, 2),
      CODE(FERRUN_CHIP_NOT_FOUND, 3),
      CODE(FERRUN_NOT_VERIFIED, 4),
      CODE(FERRUN_MISSING_ARGUMENT, -739),
      CODE(CALDEN_SUCCESS, 0),
      CODE(CALDEN_GENERAL_ERROR, -1),
      CODE(CALDEN_FILE_MALFORMED, -2),
      CODE(CALDEN_ITEM_NOT_FOUND, -10),
      CODE(CALDEN_INVALID_HANDLE, -11),
      CODE(CALDEN_FILE_NOT_FOUND, -12),
      CODE(CALDEN_INVALID_PARAMETER, -13),
      CODE(OWBUS_RESET_NO_PRESENCE, 0),
      CODE(OWBUS_RESET_PRESENCE, 1),
      CODE(OWBUS_RESET_ALARM, 2),
      CODE(OWBUS_RESET_SHORT, 3),
  };
  for (const Code& code : codes) EXPECT_EQ(code.value, code.pinned) << code.name;
}

}  // namespace
