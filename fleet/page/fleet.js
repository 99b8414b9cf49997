// The operations page: one WebSocket to the console, which sends every
// station once and then only the stations that changed. It sends nothing
// back: the console carries no command to any station.
import { TYPE } from '/messages.js';

const $ = (id) => document.getElementById(id);
const stations = {};
const LABELS = ['Station', 'Status', 'Radio', 'Frequency', 'Mode', 'Transmitter', 'Last transmissions', 'Web panel'];
const SPOKEN_GAP_MS = 500;
let spokenTimer = null;
let pendingSpeech = [];

function time(text) {
  if (!text) return '';
  const when = new Date(text);
  if (Number.isNaN(when.getTime())) return '';
  return `${when.toISOString().slice(0, 10)} ${when.toISOString().slice(11, 19)} UTC`;
}

function statusText(s) {
  if (s.online === null || s.online === undefined) return 'unknown';
  const word = s.online ? 'online' : 'offline';
  if (!s.since) return word;
  return `${word} ${s.since_before ? 'since before' : 'since'} ${time(s.since)}`;
}

// An offline station's last state is shown as it was, but not as if now.
function radioText(s) {
  if (!s.state) return '—';
  if (!s.online) return s.state.heard ? 'last heard' : `last: ${s.state.link}`;
  return s.state.heard ? 'heard' : s.state.link === 'radio silent' ? 'silent' : s.state.link;
}

function transmitterText(s) {
  if (!s.state) return '—';
  if (!s.online) return 'unknown while offline';
  if (!s.state.transmitting) return 'receiving';
  return s.state.holder ? `transmitting: ${s.state.holder}` : 'transmitting';
}

function frequencyText(s) {
  if (!s.state || typeof s.state.frequency_khz !== 'number') return '—';
  return `${s.state.frequency_khz.toFixed(3)} kHz`;
}

function transmissionLine(t) {
  const end = t.end_utc ? `, ${t.duration_s} s, ${t.ended}` : ', on air';
  return `${time(t.start_utc)} ${t.frequency_khz} kHz ${t.mode} by ${t.who}${end}`;
}

function cell(row, index, className) {
  let td = row.children[index];
  if (!td) {
    td = document.createElement('td');
    td.dataset.label = LABELS[index];
    if (className) td.className = className;
    row.appendChild(td);
  }
  return td;
}

function rowOf(name) {
  let row = document.getElementById(`station-${name}`);
  if (row) return row;
  row = document.createElement('tr');
  row.id = `station-${name}`;
  const th = document.createElement('th');
  th.scope = 'row';
  th.textContent = name;
  th.dataset.label = LABELS[0];
  row.appendChild(th);
  const names = [...Object.keys(stations)].sort();
  const before = names.find((other) => other > name && document.getElementById(`station-${other}`));
  $('rows').insertBefore(row, before ? document.getElementById(`station-${before}`) : null);
  return row;
}

function show(name, s) {
  const row = rowOf(name);
  row.className = `${s.online ? 'online' : 'offline'}${s.online && s.state && s.state.transmitting ? ' keyed' : ''}`;
  const status = cell(row, 1, 'status-cell');
  status.textContent = statusText(s);
  status.classList.toggle('online', !!s.online);
  const radio = cell(row, 2, 'radio-cell');
  radio.textContent = radioText(s);
  radio.classList.toggle('silent', !!(s.state && !s.state.heard));
  cell(row, 3, 'frequency-cell').textContent = frequencyText(s);
  cell(row, 4, 'mode-cell').textContent = s.state && s.state.mode ? s.state.mode : '—';
  cell(row, 5, 'tx-cell').textContent = transmitterText(s);
  const list = document.createElement('ul');
  list.className = 'transmissions';
  for (const t of s.transmissions || [])
    list.appendChild(Object.assign(document.createElement('li'), { textContent: transmissionLine(t) }));
  cell(row, 6, 'last-cell').replaceChildren(list);
  const web = cell(row, 7, 'web-cell');
  const address = s.state && s.state.web_panel;
  if (address && address.startsWith('https://')) {
    const link = Object.assign(document.createElement('a'), { href: address, textContent: `${name}'s panel` });
    link.rel = 'noopener noreferrer';
    link.target = '_blank';
    web.replaceChildren(link);
  } else {
    web.textContent = '—';
  }
}

// What a listener needs to hear: a station going on- or offline, its radio
// falling silent or heard again, a transmission beginning or ending.
function changes(name, before, now) {
  const said = [];
  if (!before) return said;
  if (before.online !== now.online && now.online !== null) said.push(`${name} ${now.online ? 'online' : 'offline'}`);
  const heard = (s) => !s.state || s.state.heard;
  if (now.online && heard(before) !== heard(now)) said.push(`${name} radio ${heard(now) ? 'heard' : 'silent'}`);
  const keyed = (s) => !!(s.state && s.state.transmitting);
  if (now.online && keyed(before) !== keyed(now))
    said.push(keyed(now) ? `${name} ${transmitterText(now)}` : `${name} receiving`);
  return said;
}

function speak(lines) {
  if (!lines.length) return;
  pendingSpeech.push(...lines);
  if (spokenTimer) return;
  spokenTimer = setTimeout(() => {
    spokenTimer = null;
    $('spoken').textContent = pendingSpeech.join('. ');
    pendingSpeech = [];
  }, SPOKEN_GAP_MS);
}

function showStations(message) {
  const said = [];
  for (const [name, s] of Object.entries(message.values || {})) {
    said.push(...changes(name, stations[name], s));
    stations[name] = s;
    show(name, s);
  }
  const count = Object.keys(stations).length;
  const online = Object.values(stations).filter((s) => s.online).length;
  $('count').textContent = count ? `${count} stations, ${online} online` : 'No station has reported yet.';
  speak(said);
}

const handlers = {
  [TYPE.STATE]: showStations,
  [TYPE.YOU]: (m) => { $('you').textContent = `${m.name} (${m.role})`; },
  [TYPE.OPERATORS]: (m) => {
    $('operators').replaceChildren(...m.list.map((op) => Object.assign(document.createElement('li'), {
      textContent: op.name,
    })));
  },
};

function connect() {
  const socket = new WebSocket(`wss://${location.host}/ws`);
  socket.onopen = () => {
    $('link').textContent = 'Reading the stations';
    $('link').className = 'link ok';
  };
  socket.onmessage = (event) => {
    const message = JSON.parse(event.data);
    const handle = handlers[message.type];
    if (handle) handle(message);
  };
  socket.onclose = (event) => {
    $('link').textContent = 'Disconnected from the console';
    $('link').className = 'link';
    if (event.code === 1008) location.reload();
    else setTimeout(connect, 3000);
  };
}

connect();
