// The help of every subcommand, in the order teds --help lists them.
#include "commands.h"

namespace teds {

const std::vector<Command>& commands() {
  static const std::vector<Command> table = {
      {{"decode", "Decode a TEDS image and print its template and fields.",
        "teds decode [--json | --form] [--v10] [--strict] IMAGE...",
        "IMAGE is hex digits on the command line (the memory image, optionally followed by the\n"
        "application register), a file, or - for standard input. Files may hold \"memory:\" and\n"
        "\"register:\" lines (what teds read, new and edit print), a memory line and a register\n"
        "line, or a whole chip dump with its page checksums (\"chip:\" lines, rows of hex or a\n"
        "binary file), a virtual TEDS file (.ted), or the JSON that --json prints, whose edited\n"
        "values are set and checked as --set does (see teds encode). Lines starting with # are\n"
        "comments.\n"
        "\n"
        "Options:\n"
        "  --form             print the template form text instead of the table\n"
        "  --v10              decode with the V1.0 (TDL) engine; it is chosen by itself for\n"
        "                     IEEE templates from 25 on and the MTS template\n"
        "  --strict           fail on an image whose checksum does not match, or that ends\n"
        "                     before its template's fields do (else a warning)\n"},
       runDecode},
      {{"new", "Lay out a new TEDS for a template, set fields and print the encoded image.",
        "teds new [--set \"LABEL=VALUE\"]... [--add-template ID]... [--manufacturer ID] [--v10]\n"
        "         [--output FILE] TEMPLATE",
        "TEMPLATE is a template ID (see teds templates), \"lms-free\" or \"lms-geometry\".\n"
        "IDs from 25 on are V1.0 templates of the TDL engine.\n"
        "\n"
        "Options:\n"
        "  --set \"LABEL=VALUE\"  set the field with this label (repeatable), e.g.\n"
        "                     --set \"Serial no.=1234\"; a select case of a TDL\n"
        "                     template by its description, with the case's text or\n"
        "                     number: --set \"Transducer type=Force\"\n"
        "  --add-template ID  chain a template after the last one (repeatable): a\n"
        "                     calibration table (40), curve (41) or frequency response\n"
        "                     (42) after a TDL template. Its tables start with one\n"
        "                     element; the table's name is its count: --set\n"
        "                     \"Calibration table=3\" --set \"Calibration table[2].Domain\n"
        "                     value=50\"\n"
        "  --manufacturer ID  a template of this manufacturer's template file\n"
        "  --v10              lay the template out with the V1.0 (TDL) engine\n"
        "  -o, --output FILE  write the image to FILE instead (.ted, .json or text)\n"},
       runNew},
      {{"edit", "Change fields of an existing TEDS image and print the encoded image.",
        "teds edit [--set \"LABEL=VALUE\"]... [--add-template ID]... [--remove-template ID]...\n"
        "          [--v10] [--output FILE] IMAGE...",
        "IMAGE as for teds decode.\n"
        "\n"
        "Options:\n"
        "  --set \"LABEL=VALUE\"  set the field with this label, or the select case with\n"
        "                     this description (repeatable)\n"
        "  --add-template ID  chain a template after the last one (repeatable), as for\n"
        "                     teds new\n"
        "  --remove-template ID\n"
        "                     take the chained template with this ID out (repeatable)\n"
        "  --v10              decode with the V1.0 (TDL) engine\n"
        "  -o, --output FILE  write the image to FILE instead: a virtual TEDS file when it\n"
        "                     ends in .ted, JSON when it ends in .json, else the text form\n"},
       runEdit},
      {{"encode", "Encode a TEDS given as JSON (or as any image) and print the image.",
        "teds encode [--json | --chip MODEL] [--v10] [--output FILE] FILE|-",
        "FILE is the JSON that teds decode --json prints, maybe with values edited by hand, or\n"
        "any image teds decode takes; - reads standard input. The raw images in the JSON are\n"
        "the base: every field whose \"value\" differs from them is set, checked as --set\n"
        "checks it. Prints the \"memory:\" and \"register:\" lines.\n"
        "\n"
        "Options:\n"
        "  --json             print the JSON of the encoded TEDS instead\n"
        "  --chip MODEL       print the whole memory of a chip holding the TEDS, one \"chip:\"\n"
        "                     line a page with its checksum, as a write leaves it; MODEL is\n"
        "                     DS2430A, DS2431, DS2433, DS28EC20, or auto for the smallest\n"
        "                     paged chip that holds it. With --output, the bytes themselves\n"
        "  --v10              decode with the V1.0 (TDL) engine\n"
        "  -o, --output FILE  write to FILE instead: a virtual TEDS file when it ends in .ted,\n"
        "                     JSON when it ends in .json, else the text form\n"},
       runEncode},
      {{"read", "Read the TEDS of the sensor on a 1-Wire bus, decode it and print it.",
        "teds read [--bus BUS] [--device ROM] [--channel N] [--hex | --raw | --output FILE] [--v10]\n"
        "       teds read --all [--bus BUS] [--json] [--v10]",
        "With several TEDS chips on the bus, --device names the one to read; without it the\n"
        "chips are listed and nothing is decoded.\n"
        "\n"
        "Options:\n"
        "  --bus BUS          the bus (see below); default: $TEDSKIT_BUS, else the bundled\n"
        "                     simulated sensor examples/sensor.bus\n"
        "  -d, --device ROM   the chip with this ROM ID, as teds bus prints it (family code\n"
        "                     first, for example 2DE1A5E10D0000FE; either case); a chip\n"
        "                     behind a DS2406 switch is reached without --channel\n"
        "  --channel N        switch the DS2406 of a triaxial sensor to channel N (1 to 3)\n"
        "  -a, --all          every TEDS on the bus, each memory chip and each channel of a\n"
        "                     switch; with --json a list\n"
        "  --hex              print only the image (\"memory:\" and \"register:\" lines)\n"
        "  --raw              print only the whole chip image with its page checksums\n"
        "  -o, --output FILE  write the image to FILE: a virtual TEDS file when it ends in\n"
        "                     .ted, JSON when it ends in .json, else the text form\n"
        "  --v10              decode with the V1.0 (TDL) engine\n"
        "  -v, --verbose      show the 1-Wire traffic (resets, bytes sent and received,\n"
        "                     what the adapter did) on standard error\n"
        "\n"
        "Buses:\n"
        "  PATH, sim:PATH     a simulated bus file\n"
        "  ds2480b:DEVICE     a DS2480B serial adapter (DS9097U-style) on DEVICE, for example\n"
        "                     /dev/ttyUSB0; options may follow after commas:\n"
        "                     baud=9600|19200|57600|115200 (default 115200 when the adapter\n"
        "                     takes it) and timeout=MS (wait for an answer, default 500)\n"
        "  usb, usb:N         the first (usb:0) or N-th DS2490 USB adapter (DS9490R)\n"
        "  usbsim:PATH        the DS2490 road over an emulated adapter, in front of PATH\n"
        "Programs on the C interface name a port number instead, unless TEDSKIT_BUS names\n"
        "a bus: 101 is the first USB adapter; 1-32 are DS2480B adapters on /dev/ttyS0-31,\n"
        "33-64 on /dev/ttyUSB0-31 and 65-96 on /dev/ttyACM0-31. TEDSKIT_WAITS=long keeps\n"
        "the old long programming waits for adapters that need them.\n"},
       runRead},
      {{"write", "Write a TEDS image to the sensor on a 1-Wire bus.",
        "teds write [--bus BUS] [--device ROM] [--channel N] [--yes | --dry-run] [--force] IMAGE...",
        "IMAGE as for teds decode. Asks before writing unless --yes is given: writing a V1.0\n"
        "image to a DS2430A locks its application register for good. With several TEDS chips\n"
        "on the bus nothing is written without --device. Before a byte is written the chip is\n"
        "checked: room for the template data, write-protected and EPROM-mode pages, a locked\n"
        "application register holding another Basic TEDS; what cannot succeed is refused.\n"
        "The question shows every field the write changes.\n"
        "\n"
        "Options:\n"
        "  --bus BUS          the bus, as for teds read\n"
        "  -d, --device ROM   the chip with this ROM ID, as for teds read\n"
        "  -n, --dry-run      show the plan and the changed fields; write nothing\n"
        "  --force            write an image whose checksum does not match its bytes, or\n"
        "                     that ends before its template's fields do (zeros fill the rest)\n"
        "  --channel N        switch the DS2406 of a triaxial sensor to channel N (1 to 3)\n"
        "  --yes              write without asking\n"
        "  -v, --verbose      show the 1-Wire traffic on standard error\n"},
       runWrite},
      {{"check", "Check TEDS against their templates, and when each sensor is due for calibration.",
        "teds check [--on DATE] [--due-within DAYS] [--json] [--v10] IMAGE...\n"
        "       teds check [--bus BUS] [--all | --device ROM | --channel N] [options] [IMAGE...]",
        "Each IMAGE (as for teds decode) is checked: one line per finding with its severity\n"
        "and a short code in brackets, the calibration state (last calibration, period, due\n"
        "date) and a summary. Errors: wrong checksums, a template or select case with no\n"
        "layout, fields past the end of the chip, a minimum not below its maximum, a reserved\n"
        "manufacturer ID, an enumeration value that is no choice, text that is not 7-bit.\n"
        "Warnings: a field holding its \"not defined\" code, a calibration date in the\n"
        "future, a calibration period of 0, an application register that disagrees with the\n"
        "Basic TEDS in memory, a provisional template layout.\n"
        "Exit status: 0 when every listed TEDS is clean, 1 when the worst finding is a\n"
        "warning, 2 when there is an error.\n"
        "\n"
        "Options:\n"
        "  --on DATE          judge the calibration on DATE (yyyy-mm-dd or m/d/y), not today\n"
        "  --due-within DAYS  list only the sensors due for calibration within DAYS days\n"
        "                     (overdue ones included); the exit status covers those only\n"
        "  --v10              decode with the V1.0 (TDL) engine\n"
        "  --bus BUS          check the TEDS chip on BUS, as teds read finds it\n"
        "  -a, --all          check every TEDS chip on the bus, behind each switch channel too;\n"
        "                     a chip that cannot be read or is blank is an error of its own\n"
        "  -d, --device ROM   check the chip with this ROM ID\n"
        "  --channel N        check the chip behind channel N of the DS2406 switch\n"},
       runCheck},
      {{"bus", "List the adapter and every chip on a 1-Wire bus.",
        "teds bus [--bus BUS] [--verbose] [--json]",
        "Prints the adapter (for a DS2480B its revision and baud rate) and the ROM ID of each\n"
        "chip the search finds, family code first, with its chip model; behind a DS2406\n"
        "switch, the chips each of its channels connects. Each memory chip is read: the TEDS\n"
        "column gives its template and serial number, or says it is blank.\n"
        "\n"
        "Options:\n"
        "  --bus BUS          the bus, as for teds read\n"
        "  -v, --verbose      show the 1-Wire traffic on standard error\n"},
       runBus},
      {{"templates", "List the templates the tool knows.",
        "teds templates [--kind standard|manufacturer|lms|v1.0]",
        "Without --kind every template is listed: the standard templates, those of every\n"
        "manufacturer's template file, the LMS templates and the V1.0 templates.\n"
        "\n"
        "Options:\n"
        "  --kind KIND        list one kind only\n"},
       runTemplates},
      {{"manufacturers", "List the manufacturers of the manufacturer file.", "teds manufacturers", ""},
       runManufacturers},
      {{"store", "Save, load and list TEDS record files.",
        "teds store save [--channel N] [--unit N] [--append | --force] FILE IMAGE...\n"
        "       teds store load FILE [--record N --output OUT]\n"
        "       teds store list FILE",
        "save decodes IMAGE and writes it as a record to FILE; load prints every record of\n"
        "FILE decoded; list prints one line per record. A broken block is reported with\n"
        "its line and passed over, and the good records are still shown; the status is\n"
        "then 1.\n"
        "\n"
        "Options:\n"
        "  -a, --append       add the record to an existing record file\n"
        "  -f, --force        replace an existing FILE (without it, save refuses one)\n"
        "  -r, --record N     with --output: the record to write out, numbered as list does\n"
        "  -o, --output OUT   write record N as an image to OUT (\"-\": standard output),\n"
        "                     for teds write or decode\n"},
       runStore},
      {{"serve", "Serve the TEDS editor to a browser on this machine.",
        "teds serve [--port N] [--bus BUS] [--templates DIR] [--listen ADDR]",
        "Prints the address to open, with a random access token; Ctrl-C stops the server.\n"
        "The page opens, edits, checks and downloads TEDS, reads and writes the bus and keeps\n"
        "record files. Only this machine can reach it: the server answers on 127.0.0.1, to\n"
        "requests that name it by a loopback host, come from its own page and carry the\n"
        "token. A write to the bus is always shown first and needs its confirmation.\n"
        "\n"
        "Options:\n"
        "  -p, --port N       the port (default 8451; 0 takes a free one, printed)\n"
        "  --bus BUS          the bus the page starts with (as for teds read)\n"
        "  --listen ADDR      listen on ADDR instead of 127.0.0.1; other machines may then\n"
        "                     reach the editor (a warning says so)\n"},
       runServe},
      {{"tdl", "Parse a TDL file and print its templates, properties and select cases.", "teds tdl FILE",
        "A syntax error is printed as FILE:LINE, and so is each fault the reader lets pass: a\n"
        "type that is neither a data type nor an enumeration of its template, a number wider\n"
        "than 32 bits, a template ID too large for its width, a missing VALIDATION_KEYCODE.\n"
        "The status is then 1.\n"},
       runTdl},
  };
  return table;
}

const CommandHelp& helpOf(const std::string& name) {
  for (const auto& command : commands()) {
    if (name == command.help.name) return command.help;
  }
  return commands().front().help;
}

}  // namespace teds
