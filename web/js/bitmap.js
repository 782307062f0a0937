// The memory image as a map of bits: the checksum byte, the Basic TEDS, the template
// selector and ID (and those of every chained template), and each field where the server
// says it lies, in its own colour and named on hover. Bits between fields that belong to none of them are the selectors of
// select cases the data choose (or, in a description file, selector and padding bits);
// they are marked as such. Bits past the last field stay blank.
function hexBytes(hex) {
  const bytes = [];
  for (let i = 0; i + 1 < hex.length; i += 2) bytes.push(parseInt(hex.slice(i, i + 2), 16));
  return bytes;
}

const kTemplateStart = 72;  // the 2-bit template selector, then the 8-bit template ID
const kTemplateData = 82;

// Text that is no 5-bit text runs on from its first bit: the field's width is that of a
// character, or -1.
export function runsOn(field) {
  return field.type === 'text' && (field.bits < 0 || field.bits % 5 !== 0);
}

function fieldRegion(field, index, first, total) {
  const bits = runsOn(field) ? total - first : field.bits;
  return {
    name: field.label,
    first,
    bits: Math.max(0, Math.min(bits, total - first)),
    kind: first < kTemplateStart ? 'basic' : 'field',
    index,
    display: field.display,
  };
}

// Without positions (an LMS TEDS) the fields are shown end to end after the checksum byte.
function endToEnd(view, total, regions) {
  let at = 8;
  view.fields.forEach((field, index) => {
    if (at === kTemplateStart && total >= kTemplateData) {
      regions.push({ name: 'Template selector', first: 72, bits: 2, kind: 'selector', index: -1 });
      regions.push({ name: 'Template ID', first: 74, bits: 8, kind: 'selector', index: -2, display: String(view.template.id) });
      at = kTemplateData;
    }
    if (at >= total) return;
    const region = fieldRegion(field, index, at, total);
    regions.push(region);
    at += field.bits < 0 ? region.bits : field.bits;
  });
  return regions;
}

// The bits from kTemplateData up to the end of the last field that no region holds.
function unlabelled(view, regions, total) {
  const held = new Array(total).fill(false);
  let last = kTemplateData;
  for (const region of regions) {
    for (let b = region.first; b < region.first + region.bits; b++) held[b] = true;
    last = Math.max(last, region.first + region.bits);
  }
  const tdl = view.template.engine === 'tdl';
  const name = tdl ? 'Select case' : 'Selector bits';
  const part = tdl ? 'no field: the selector of a select case the data choose' : 'no field: selector or padding bits';
  const gaps = [];
  for (let b = kTemplateData; b < last; b++) {
    if (held[b]) continue;
    const gap = gaps[gaps.length - 1];
    if (gap && gap.first + gap.bits === b) gap.bits++;
    else gaps.push({ name, part, first: b, bits: 1, kind: 'gap', index: -3 });
  }
  return gaps;
}

// Each chained template begins with a selector of 0 and its ID, just before its first
// field; a selector of 3 after the last one ends the chain.
function chainRegions(view, total) {
  const regions = [];
  const chained = (view.templates || []).slice(1);
  let end = -1;
  for (const part of chained) {
    const placed = view.fields
      .slice(part.first_field, part.first_field + part.field_count)
      .filter((field) => field.bits > 0 && field.offset >= 0);
    if (placed.length === 0) continue;
    const start = placed[0].offset - 10;
    if (start < kTemplateData || start + 10 > total) continue;
    regions.push({ name: 'Chained template selector', first: start, bits: 2, kind: 'selector', index: -1, display: '0' });
    regions.push({ name: 'Chained template ID', first: start + 2, bits: 8, kind: 'selector', index: -2, display: String(part.id) });
    end = Math.max(...placed.map((field) => field.offset + field.bits));
  }
  if (end >= 0 && end + 2 <= total) {
    regions.push({ name: 'End of the templates', first: end, bits: 2, kind: 'selector', index: -1, display: '3' });
  }
  return regions;
}

// [{name, first, bits, kind, index, display}] in bit order.
export function bitRegions(view) {
  const total = (view.image ? view.image.memory.length / 2 : 0) * 8;
  const regions = [{ name: 'Checksum', first: 0, bits: Math.min(8, total), kind: 'checksum' }];
  // A constant of the template takes no bits and has no region.
  const placed = view.fields.filter((field) => field.bits !== 0);
  if (!placed.every((field) => field.offset >= 0)) return endToEnd(view, total, regions);
  if (total >= kTemplateData) {
    regions.push({ name: 'Template selector', first: 72, bits: 2, kind: 'selector', index: -1 });
    regions.push({ name: 'Template ID', first: 74, bits: 8, kind: 'selector', index: -2, display: String(view.template.id) });
  }
  view.fields.forEach((field, index) => {
    if (field.bits !== 0 && field.offset < total) regions.push(fieldRegion(field, index, field.offset, total));
  });
  regions.push(...chainRegions(view, total));
  regions.push(...unlabelled(view, regions, total));
  return regions.sort((a, b) => a.first - b.first);
}

function colourOf(region) {
  if (region.kind === 'checksum') return 'hsl(0 0% 70%)';
  if (region.kind === 'gap') return 'hsl(40 10% 86%)';
  if (region.kind === 'selector') return region.index === -1 ? 'hsl(210 15% 80%)' : 'hsl(210 25% 70%)';
  const hue = (region.index * 137.5) % 360;
  return region.kind === 'basic' ? `hsl(${hue} 45% 78%)` : `hsl(${hue} 70% 72%)`;
}

export function renderBitMap(map, legend, info, view) {
  map.replaceChildren();
  legend.replaceChildren();
  if (!view.image) {
    info.textContent = 'A stored record has no memory image.';
    return;
  }
  const bytes = hexBytes(view.image.memory);
  const regions = bitRegions(view);
  const owner = new Array(bytes.length * 8).fill(null);
  regions.forEach((region) => {
    for (let b = region.first; b < region.first + region.bits; b++) owner[b] = region;
  });
  const cells = [];
  bytes.forEach((byte, n) => {
    const row = document.createElement('div');
    row.className = 'byte';
    const address = document.createElement('span');
    address.className = 'address';
    address.textContent = n.toString(16).toUpperCase().padStart(3, '0');
    row.append(address);
    for (let bit = 0; bit < 8; bit++) {
      const position = n * 8 + bit;
      const region = owner[position];
      const cell = document.createElement('span');
      cell.className = 'bit' + (region ? (region.kind === 'gap' ? ' gap' : '') : ' unused');
      cell.textContent = (byte >> bit) & 1;
      if (region) {
        cell.style.backgroundColor = colourOf(region);
        cell.title = `${region.name}: bits ${region.first}-${region.first + region.bits - 1}` +
          (region.display !== undefined ? ` = ${region.display}` : '');
        cell.dataset.region = regions.indexOf(region);
      } else {
        cell.title = `bit ${position}: not used`;
      }
      cells.push(cell);
      row.append(cell);
    }
    map.append(row);
  });
  const highlight = (index) => {
    for (const cell of cells) cell.classList.toggle('lit', cell.dataset.region === String(index));
    const region = regions[index];
    info.textContent = region ? cellsText(region) : '';
  };
  map.onmouseover = (event) => {
    if (event.target.dataset && event.target.dataset.region !== undefined) highlight(event.target.dataset.region);
  };
  regions.forEach((region, index) => {
    const item = document.createElement('li');
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'swatch';
    button.style.setProperty('--swatch', colourOf(region));
    button.textContent = region.name;
    button.title = cellsText(region);
    button.addEventListener('focus', () => highlight(index));
    button.addEventListener('mouseenter', () => highlight(index));
    item.append(button);
    legend.append(item);
  });
}

function cellsText(region) {
  const parts = {
    checksum: 'checksum byte',
    basic: 'Basic TEDS',
    selector: 'template choice',
    field: 'template data',
  };
  const part = region.part || parts[region.kind];
  return `${region.name} (${part}): bits ${region.first} to ${region.first + region.bits - 1}, ${region.bits} bits` +
    (region.display !== undefined ? `, ${region.display}` : '');
}
