/* Decodes the memory and register given on the command line through the installed
 * front end and through libtedskit, and prints the template's name both agree on. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tedskit/dorvia.h"
#include "tedskit/quillon.h"
#include "tedskit/tedskit.h"

int main(int argc, char** argv) {
  const char* form = NULL;
  int32_t valid = 0;
  TaggedFieldArray* array;
  char name[256];
  char text[4096];
  tedskit_teds* teds = NULL;
  const char* apiName = NULL;
  int agree;
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
  free(array);
  snprintf(text, sizeof text, "memory: %s\nregister: %s\n", argv[2], argv[3]);
  if (tedskit_teds_open(argv[1], text, strlen(text), TEDSKIT_INPUT_TEXT, 0, &teds) != TEDSKIT_OK ||
      tedskit_teds_template(teds, NULL, NULL, &apiName, NULL) != TEDSKIT_OK) {
    fprintf(stderr, "consumer: libtedskit: %s\n", tedskit_last_error());
    tedskit_teds_free(teds);
    return 1;
  }
  agree = strcmp(apiName, name) == 0;
  tedskit_teds_free(teds);
  if (!agree) {
    fprintf(stderr, "consumer: libtedskit names another template\n");
    return 1;
  }
  printf("%s\n", name);
  return 0;
}
