// The editor page: opens a TEDS from a file, pasted hex, a template or the bus; edits it
// field by field through the server; shows its memory; downloads, writes and records it.
import { ApiError, fileAsBase64, get, post, postForBlob } from './api.js';
import { renderBitMap } from './bitmap.js';
import { exampleImage } from './example.js';
import { fieldId, renderForm } from './form.js';

const $ = (id) => document.getElementById(id);
const state = { view: null, v10: false, refusal: null, source: '' };

function say(text, isError = false) {
  $('status').textContent = text;
  $('status').className = isError ? 'error' : '';
}

function summaryOf(view) {
  const t = view.template;
  const parts = [`${t.name} (${t.kind} template ${t.id}, ${t.engine} engine)`];
  if (view.manufacturer) parts.push(`manufacturer: ${view.manufacturer}`);
  if (view.checksum_ok === false) parts.push('the checksum that came with the image does not match');
  return parts.join('; ');
}

// What is being typed in a field, not yet sent: the answer to another field's change
// redraws the form, and must not take the typing away.
function typedNotSent(form) {
  const active = document.activeElement;
  if (!active || !form.contains(active) || !('value' in active) || active.value === active.dataset.shown) return null;
  return { id: active.id, value: active.value, start: active.selectionStart, end: active.selectionEnd };
}

// Notes what each control shows, so that typing can be told from it.
function noteShown(form) {
  for (const control of form.querySelectorAll('input, select, textarea')) control.dataset.shown = control.value;
}

function keepTyping(typing) {
  const control = typing && $(typing.id);
  if (!control) return;
  control.value = typing.value;
  control.dispatchEvent(new Event('input'));
  control.focus();
  if (typing.start !== null && typeof control.setSelectionRange === 'function') {
    try { control.setSelectionRange(typing.start, typing.end); } catch { /* a control without a text selection */ }
  }
}

function show(view, source) {
  state.view = view;
  if (source) state.source = source;
  $('teds-title').textContent = `Template: ${view.template.name}`;
  $('teds-summary').textContent = summaryOf(view);
  const general = $('teds-findings');
  general.replaceChildren();
  const notes = [];
  if (view.template.provisional) notes.push({ severity: 'warning', message: 'provisional layout: part of it comes from a provisional table' });
  if (view.note) notes.push({ severity: 'note', message: view.note });
  for (const finding of view.findings) if (!finding.field) notes.push(finding);
  for (const finding of notes) {
    const item = document.createElement('li');
    item.className = `finding ${finding.severity}`;
    item.textContent = `${finding.severity}: ${finding.message}`;
    general.append(item);
  }
  const form = $('fields');
  const typing = typedNotSent(form);
  renderForm(form, view, state.refusal, changeField);
  noteShown(form);
  keepTyping(typing);
  renderBitMap($('bit-map'), $('bit-legend'), $('bit-info'), view);
  for (const id of ['teds', 'memory', 'save']) $(id).hidden = false;
}

async function attempt(action) {
  try {
    await action();
  } catch (error) {
    say(error.message, true);
    if (!(error instanceof ApiError)) console.error(error);
  }
}

async function open(body, source) {
  state.refusal = null;
  state.v10 = false;
  show(await post('/api/open', body), source);
  say(`Opened ${source}.`);
}

// Sets run one after another, each on the TEDS the one before left: two changes in quick
// succession would otherwise both start from the same text, and the later answer would drop
// the earlier change.
let settling = Promise.resolve();
function changeField(label, value) {
  // A set that failed outside the server's refusals must not hold back the ones after it.
  settling = settling.catch(() => {}).then(() => applyChange(label, value));
  return settling;
}

async function applyChange(label, value) {
  try {
    const view = await post('/api/set',
      { text: state.view.text, v10: state.v10, checksum_ok: state.view.checksum_ok, label, value });
    state.refusal = null;
    show(view);
    say(view.note ? `${label}: ${view.note}` : `${label} set.`);
  } catch (error) {
    if (!(error instanceof ApiError)) throw error;
    state.refusal = { field: error.field || label, message: error.message, value };
    show(state.view);
    say(`${label}: not set.`, true);
    const control = $(fieldId(label));
    if (control) control.focus();
  }
}

function download(blob, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

async function openFile(file) {
  await open({ data: await fileAsBase64(file) }, file.name);
}

async function loadTemplates() {
  const select = $('template-select');
  for (const item of await get('/api/templates')) {
    const option = document.createElement('option');
    option.value = JSON.stringify(item);
    const owner = item.manufacturer !== undefined ? ` of manufacturer ${item.manufacturer}` : '';
    option.textContent = `${item.kind} ${item.id}${owner}: ${item.name}`;
    select.append(option);
  }
}

async function newTeds() {
  const item = JSON.parse($('template-select').value);
  const v10 = item.kind === 'v1.0';
  const body = { kind: v10 ? 'standard' : item.kind, template: item.id, manufacturer: item.manufacturer ?? 0, v10 };
  state.refusal = null;
  show(await post('/api/new', body), `a new TEDS of template ${item.id}`);
  state.v10 = v10;
  say(`New TEDS of ${item.name}.`);
}

async function scan() {
  const answer = await post('/api/bus/scan', { bus: $('bus-input').value });
  const select = $('chip-select');
  select.replaceChildren();
  for (const chip of answer.chips.filter((c) => c.teds)) {
    const option = document.createElement('option');
    option.value = chip.rom;
    option.textContent = `${chip.rom} ${chip.device}${chip.channel ? ` channel ${chip.channel}` : ''}`;
    select.append(option);
  }
  say(`${answer.adapter || answer.bus}: ${select.options.length} TEDS chip(s).`);
}

async function readChip() {
  const answer = await post('/api/bus/read', { bus: $('bus-input').value, rom: $('chip-select').value });
  state.refusal = null;
  show(answer.teds, answer.described);
  say(`Read the ${answer.described}.`);
}

let pendingWrite = null;

async function prepareWrite() {
  const answer = await post('/api/bus/prepare', {
    bus: $('bus-input').value,
    rom: $('chip-select').value,
    text: state.view.text,
    v10: state.v10,
    checksum_ok: state.view.checksum_ok,
  });
  pendingWrite = answer;
  $('write-rom').textContent = `${answer.rom} (${answer.described})`;
  $('write-what').textContent = `Writes ${answer.what}.`;
  $('write-diff').textContent = answer.diff;
  // An image that came with a bad checksum may be corrupt: writing it with a new checksum
  // takes a choice of its own, not just the Write button.
  $('write-checksum').hidden = !answer.renews_checksum;
  $('write-force').checked = false;
  $('write-refusal').textContent = '';
  $('write-dialog').showModal();
  $('write-cancel').focus();
}

async function confirmWrite() {
  const write = pendingWrite;
  if (!write) return;
  let answer;
  try {
    answer = await post('/api/bus/write',
      { write_id: write.write_id, rom: write.rom, force: write.renews_checksum ? $('write-force').checked : false });
  } catch (error) {
    // The server keeps a write it refused for want of the checksum choice.
    if (error instanceof ApiError && error.status === 422 && write.renews_checksum) {
      $('write-refusal').textContent = error.message;
      $('write-force').focus();
      return;
    }
    pendingWrite = null;
    $('write-dialog').close();
    throw error;
  }
  pendingWrite = null;
  $('write-dialog').close();
  const result = answer.verified
    ? `Written to ${answer.rom} and verified: the chip reads back the image.`
    : `Written to ${answer.rom}, but the chip reads back another image.`;
  $('write-result').textContent = result;
  if (answer.teds) show(answer.teds, answer.described);
  say(result, !answer.verified);
}

async function saveRecord() {
  const base = $('record-base').files[0];
  const body = { text: state.view.text };
  if (base) body.existing = await fileAsBase64(base);
  download(await postForBlob('/api/records/save', body), base ? base.name : 'records.txt');
  say('Record file saved.');
}

async function loadRecords(file) {
  const answer = await post('/api/records/load', { data: await fileAsBase64(file) });
  const list = $('record-list');
  list.replaceChildren();
  for (const record of answer.records) {
    const item = document.createElement('li');
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = `Open record ${record.record}: ${record.kind} template ${record.template} (${record.name})`;
    button.addEventListener('click', () => attempt(() => open({ input: record.text }, `record ${record.record} of ${file.name}`)));
    item.append(button);
    list.append(item);
  }
  say(`${answer.records.length} record(s) in ${file.name}` + (answer.warnings.length ? `; ${answer.warnings.join('; ')}` : '.'),
    answer.warnings.length > 0);
}

function wire() {
  $('open-example').addEventListener('click', () => attempt(() => open({ input: exampleImage }, 'the bundled example')));
  $('open-hex').addEventListener('click', () => attempt(() => open({ input: $('hex-input').value }, 'the pasted hex')));
  $('file-input').addEventListener('change', (e) => e.target.files[0] && attempt(() => openFile(e.target.files[0])));
  document.addEventListener('dragover', (e) => { e.preventDefault(); $('drop-zone').classList.add('dropping'); });
  document.addEventListener('dragleave', () => $('drop-zone').classList.remove('dropping'));
  document.addEventListener('drop', (e) => {
    e.preventDefault();
    $('drop-zone').classList.remove('dropping');
    const file = e.dataTransfer.files[0];
    if (file) attempt(() => openFile(file));
  });
  $('new-teds').addEventListener('click', () => attempt(newTeds));
  $('bus-scan').addEventListener('click', () => attempt(scan));
  $('bus-read').addEventListener('click', () => attempt(readChip));
  $('bus-write').addEventListener('click', () => attempt(prepareWrite));
  $('write-confirm').addEventListener('click', () => attempt(confirmWrite));
  $('write-cancel').addEventListener('click', () => { pendingWrite = null; $('write-dialog').close(); say('Nothing written.'); });
  $('fields').addEventListener('submit', (e) => e.preventDefault());
  for (const button of document.querySelectorAll('#save [data-format]')) {
    button.addEventListener('click', () => attempt(async () => {
      const format = button.dataset.format;
      const blob = await postForBlob('/api/encode', { text: state.view.text, v10: state.v10, format });
      download(blob, `teds.${format === 'hex' ? 'txt' : format}`);
    }));
  }
  $('record-save').addEventListener('click', () => attempt(saveRecord));
  $('record-file').addEventListener('change', (e) => e.target.files[0] && attempt(() => loadRecords(e.target.files[0])));
}

wire();
attempt(async () => {
  const info = await get('/api/info');
  $('bus-input').value = info.bus;
  await loadTemplates();
});
