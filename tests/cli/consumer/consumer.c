/* Decodes the memory and register given on the command line through the installed
 * front end and prints the template's name. */
#include <stdio.h>
#include <stdlib.h>

#include "tedskit/dorvia.h"
#include "tedskit/quillon.h"

int main(int argc, char** argv) {
  const char* form = NULL;
  int32_t valid = 0;
  TaggedFieldArray* array;
  char name[256];
  if (argc != 4) {
    fprintf(stderr, "Usage: consumer TEMPLATE_DIR MEMORY_HEX REGISTER_HEX\n");
    return 2;
  }
  if (QUILLON_DecodeRAWTedsToTemplateForm(argv[1], argv[2], argv[3], 0, &form, &valid, 0) != 0 || !valid) {
    fprintf(stderr, "consumer: not decoded\n");
    return 1;
  }
  array = calloc(1, sizeof *array);
  if (array == NULL) return 1;
  QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(form, array, 1);
  QUILLON_GetTEDSTemplateName(array, name, sizeof name);
  printf("%s\n", name);
  free(array);
  return 0;
}
