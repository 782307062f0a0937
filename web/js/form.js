// The form of a TEDS: one control per field, fitting its type, with its range, units,
// the value it is stored as, and any refusal or finding beside it.
const ids = new Map();

// An id for each label, stable while the page lives.
export function fieldId(label) {
  if (!ids.has(label)) ids.set(label, `field-${ids.size}`);
  return ids.get(label);
}

function element(tag, attributes = {}, text = '') {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) node.setAttribute(name, value);
  if (text) node.textContent = text;
  return node;
}

function numberControl(field) {
  const input = element('input', { type: 'number', step: 'any', inputmode: 'decimal' });
  if (field.minimum !== undefined) input.min = field.minimum;
  if (field.maximum !== undefined) input.max = field.maximum;
  input.value = field.value ?? '';
  return input;
}

function enumerationControl(field) {
  const select = element('select');
  const choices = field.choices || [];
  choices.forEach((choice) => select.append(element('option', { value: choice }, choice)));
  if (!choices.includes(field.value)) {
    select.prepend(element('option', { value: '' }, `(${field.index ?? 'no choice'})`));
  }
  select.value = field.value;
  return select;
}

// Bits of the 128-byte memory a TEDS chip offers (and the description engine encodes):
// where text that runs on from its first bit has to end.
const kMemoryBits = 1024;
// The bits that announce the user text of a TDL template.
const kUserTextMark = 3;

// {width, perCharacter}: the bits a text field has for its characters. 5-bit letters fill
// their field's width; ASCII text (a width of one character, or -1) runs on to the end of
// the memory from its first bit.
export function textBits(field, engine) {
  if (field.bits > 0 && field.bits % 5 === 0) return { width: field.bits, perCharacter: 5 };
  if (!(field.offset >= 0)) return null;
  const perCharacter = field.bits > 0 ? field.bits : 7;
  const mark = engine === 'tdl' ? kUserTextMark : 0;
  return { width: Math.max(0, kMemoryBits - field.offset - mark), perCharacter };
}

// Characters the field holds in all.
function textRoom(field, engine) {
  const bits = textBits(field, engine);
  return bits ? Math.floor(bits.width / bits.perCharacter) : null;
}

// Six significant digits: the range and step are for reading, not for copying.
function shortNumber(value) {
  return Number.isInteger(value) ? String(value) : String(Number(value.toPrecision(6)));
}

function controlFor(field, engine) {
  switch (field.type) {
    case 'enumeration': return enumerationControl(field);
    case 'date': return element('input', { type: 'date', value: field.value || '' });
    case 'text': {
      const input = element('input', { type: 'text', value: field.value ?? '' });
      const room = textRoom(field, engine);
      if (room !== null) input.maxLength = room;
      return input;
    }
    default: return numberControl(field);
  }
}

function hintOf(field) {
  const parts = [];
  if (field.type === 'integer' || field.type === 'real') {
    if (field.minimum !== undefined && field.maximum !== undefined) {
      parts.push(`${shortNumber(field.minimum)} to ${shortNumber(field.maximum)}${field.units ? ' ' + field.units : ''}`);
    }
    if (field.resolution) parts.push(`step ${shortNumber(field.resolution)}`);
    parts.push(`stored as ${field.display}`);
  }
  if (field.type === 'date') parts.push(`stored as ${field.display}`);
  return parts.join('; ');
}

// Characters left = (bit width - used bits) / bits per character. 5-bit text fills its
// field with blanks: those at its end are room.
function roomText(field, engine, text) {
  const bits = textBits(field, engine);
  const length = bits && bits.perCharacter === 5 ? text.trimEnd().length : text.length;
  if (bits === null) return `${length} characters`;
  const left = Math.max(0, Math.floor((bits.width - length * bits.perCharacter) / bits.perCharacter));
  const all = Math.floor(bits.width / bits.perCharacter);
  const where = bits.perCharacter === 5 ? '' : ` of ${bits.perCharacter}-bit text in a 128-byte memory`;
  return `${left} of ${all} characters left${where}`;
}

// Lays out the fields of view into form. onChange(label, value) is called when a value
// is changed; findings and the last refusal ({field, message}) are shown by their field.
export function renderForm(form, view, refusal, onChange) {
  form.replaceChildren();
  const byField = new Map();
  for (const finding of view.findings || []) {
    if (!finding.field) continue;
    if (!byField.has(finding.field)) byField.set(finding.field, []);
    byField.get(finding.field).push(finding);
  }
  view.fields.forEach((field) => {
    const id = fieldId(field.label);
    const row = element('div', { class: 'field' + (field.read_only ? ' read-only' : '') });
    const label = element('label', { for: id }, field.label);
    const control = controlFor(field, view.template.engine);
    control.id = id;
    control.name = field.label;
    const describedBy = [];
    const line = element('div', { class: 'control' });
    line.append(control);
    if (field.units && field.type !== 'enumeration') line.append(element('span', { class: 'units' }, field.units));
    row.append(label, line);
    const hint = hintOf(field);
    if (hint) {
      const node = element('div', { class: 'hint', id: `${id}-hint` }, hint);
      row.append(node);
      describedBy.push(node.id);
    }
    if (field.type === 'text') {
      const engine = view.template.engine;
      const room = element('div', { class: 'hint', id: `${id}-room` }, roomText(field, engine, String(field.value ?? '')));
      control.addEventListener('input', () => { room.textContent = roomText(field, engine, control.value); });
      row.append(room);
      describedBy.push(room.id);
    }
    if (field.read_only) {
      control.disabled = true;
      row.append(element('div', { class: 'hint' }, 'read-only'));
    }
    for (const finding of byField.get(field.label) || []) {
      row.append(element('div', { class: `finding ${finding.severity}` }, `${finding.severity}: ${finding.message}`));
    }
    if (refusal && refusal.field === field.label) {
      const node = element('div', { class: 'refusal', id: `${id}-refusal`, role: 'alert' }, refusal.message);
      row.append(node);
      describedBy.push(node.id);
      control.setAttribute('aria-invalid', 'true');
      if (refusal.value !== undefined) control.value = refusal.value;
    }
    if (describedBy.length) control.setAttribute('aria-describedby', describedBy.join(' '));
    control.addEventListener('change', () => onChange(field.label, control.value));
    form.append(row);
  });
}
