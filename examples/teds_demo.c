/* Decodes one example TEDS image through libdorvia and prints its template form text
 * and, through the field array, each field's label, value and units.
 *
 * Usage: teds_demo TEMPLATE_DIR IMAGE_FILE
 * The image file format is described in examples/README.md. Written in C to show the
 * interface from a C caller. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tedskit/dorvia.h"

/* Labels are ISO 8859-1 bytes (the degree sign is 0xB0); the terminal wants UTF-8. */
static void print_latin1(const char* text, int width) {
  int shown = 0;
  for (; *text != '\0'; ++text, ++shown) {
    const unsigned char c = (unsigned char)*text;
    if (c < 0x80) {
      putchar(c);
    } else {
      putchar(0xC0 | (c >> 6));
      putchar(0x80 | (c & 0x3F));
    }
  }
  for (; shown < width; ++shown) putchar(' ');
}

/* Reads the first two lines that are neither empty nor comments ('#'). */
static int read_image_file(const char* path, char* memory, size_t memory_size, char* reg, size_t reg_size) {
  FILE* file = fopen(path, "r");
  char line[512];
  int found = 0;
  if (file == NULL) return 0;
  while (found < 2 && fgets(line, sizeof line, file) != NULL) {
    line[strcspn(line, "\r\n")] = '\0';
    if (line[0] == '\0' || line[0] == '#') continue;
    if (found == 0) {
      snprintf(memory, memory_size, "%s", line);
    } else {
      snprintf(reg, reg_size, "%s", line);
    }
    ++found;
  }
  fclose(file);
  return found == 2;
}

int main(int argc, char** argv) {
  char memory[512];
  char reg[512];
  const char* form = NULL;
  int32_t valid = 0;
  int32_t result;
  int32_t i;
  TEDSTemplateFieldArrayStruct* array;
  char name[256];

  if (argc != 3) {
    fprintf(stderr, "Usage: teds_demo TEMPLATE_DIR IMAGE_FILE\n");
    return 2;
  }
  if (!read_image_file(argv[2], memory, sizeof memory, reg, sizeof reg)) {
    fprintf(stderr, "teds_demo: cannot read an image from %s\n", argv[2]);
    return 1;
  }
  result = DORVIA_DecodeRawTEDSToTemplateForm(argv[1], memory, reg, 0, &form, &valid);
  if (result < 0 || result > 1 || form == NULL) {
    fprintf(stderr, "\nteds_demo: decoding failed with %d\n", (int)result);
    return 1;
  }
  printf("Template form text (%s template):\n", result == 0 ? "standard" : "manufacturer's");
  print_latin1(form, 0);
  printf("\n\n");

  array = calloc(1, sizeof *array);
  if (array == NULL) return 1;
  DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(form, array, 1);
  DORVIA_GetTEDSTemplateName(array, name, sizeof name);
  printf("Fields of \"%s\" (template %d):\n", name, (int)DORVIA_GetTEDSTemplateIndex(array));
  for (i = 0; i < array->numItems; ++i) {
    const TEDSTemplateFieldStruct* item = &array->items[i];
    printf("  ");
    print_latin1(item->label, 34);
    printf(" %-18s %s\n", item->value, item->units);
  }
  if (DORVIA_GetTEDSManufacturerStr(array, argv[1], name, sizeof name) >= 0) {
    printf("Manufacturer: %s\n", name);
  }
  free(array);
  return 0;
}
