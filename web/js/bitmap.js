// The memory image as a map of bits: the checksum byte, then the fields in template
// order, each in its own colour and named on hover; bits no field uses stay blank.
function hexBytes(hex) {
  const bytes = [];
  for (let i = 0; i + 1 < hex.length; i += 2) bytes.push(parseInt(hex.slice(i, i + 2), 16));
  return bytes;
}

// [{name, first, bits, kind}] in bit order: the checksum byte, the Basic TEDS, the
// 2-bit selector and the 8-bit template ID (at bits 72 and 74), then the template's
// fields end to end; text of width -1 runs to the end of the memory.
export function bitRegions(view) {
  const total = (view.image ? view.image.memory.length / 2 : 0) * 8;
  const regions = [{ name: 'Checksum', first: 0, bits: Math.min(8, total), kind: 'checksum' }];
  let at = 8;
  view.fields.forEach((field, index) => {
    if (at === 72 && total >= 82) {
      regions.push({ name: 'Template selector', first: 72, bits: 2, kind: 'selector', index: -1 });
      regions.push({ name: 'Template ID', first: 74, bits: 8, kind: 'selector', index: -2, display: String(view.template.id) });
      at = 82;
    }
    const bits = field.bits < 0 ? Math.max(0, total - at) : field.bits;
    if (at >= total) return;
    regions.push({
      name: field.label,
      first: at,
      bits: Math.min(bits, total - at),
      kind: at < 72 ? 'basic' : 'field',
      index,
      display: field.display,
    });
    at += bits;
  });
  return regions;
}

function colourOf(region) {
  if (region.kind === 'checksum') return 'hsl(0 0% 70%)';
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
      cell.className = 'bit' + (region ? '' : ' unused');
      cell.textContent = (byte >> bit) & 1;
      if (region) {
        cell.style.background = colourOf(region);
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
  const parts = { checksum: 'checksum byte', basic: 'Basic TEDS', selector: 'template choice', field: 'template data' };
  const part = parts[region.kind];
  return `${region.name} (${part}): bits ${region.first} to ${region.first + region.bits - 1}, ${region.bits} bits` +
    (region.display !== undefined ? `, ${region.display}` : '');
}
