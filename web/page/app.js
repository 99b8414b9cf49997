// The live panel: one WebSocket to the page's own origin; the server sends
// a message only when something changed.
import { attachKeying } from './keying.js';

const $ = (id) => document.getElementById(id);
const SPOKEN_GAP_MS = 1000;

let socket = null;
let spokenAt = 0;
let spokenTimer = null;
let pendingSpeech = '';

// The radio may change many times a second; a screen reader hears the
// latest at most once a second.
function speak(text) {
  pendingSpeech = text;
  if (spokenTimer) return;
  const wait = Math.max(0, spokenAt + SPOKEN_GAP_MS - Date.now());
  spokenTimer = setTimeout(() => {
    spokenTimer = null;
    spokenAt = Date.now();
    $('spoken').textContent = pendingSpeech;
  }, wait);
}

function showState(state) {
  const before = $('frequency').textContent + $('mode').textContent + $('transmit').textContent;
  $('frequency').textContent = state.frequency || '—';
  $('mode').textContent = state.mode || '—';
  $('agc').textContent = state.agc || '—';
  $('transmit').textContent = state.transmit ? 'Transmitting' : 'Receiving';
  $('transmit').className = state.transmit ? 'keyed' : '';
  $('link').textContent = state.link ? 'Radio: ' + state.link : 'Radio heard';
  $('link').className = state.link ? 'link' : 'link ok';
  const after = $('frequency').textContent + $('mode').textContent + $('transmit').textContent;
  if (before !== after)
    speak(`${state.frequency} kHz, ${state.mode}, ${state.transmit ? 'transmitting' : 'receiving'}`);
}

function showOperators(list) {
  const items = list.map((op) => {
    const li = document.createElement('li');
    li.textContent = `${op.name} (${op.role})`;
    return li;
  });
  $('operators').replaceChildren(...items);
}

const handlers = {
  state: showState,
  operators: (m) => showOperators(m.list),
  you: (m) => { $('controls').hidden = m.role === 'listen'; },
  refused: (m) => { $('refused').textContent = m.text; },
};

function send(command) {
  if (socket && socket.readyState === WebSocket.OPEN) socket.send(JSON.stringify(command));
}

function connect() {
  socket = new WebSocket(`wss://${location.host}/ws`);
  socket.onmessage = (event) => {
    const message = JSON.parse(event.data);
    const handle = handlers[message.type];
    if (handle) handle(message);
  };
  socket.onclose = (event) => {
    $('link').textContent = 'Disconnected from the panel';
    $('link').className = 'link';
    // A closed session sends the page back to the login.
    if (event.code === 1008) location.reload();
    else setTimeout(connect, 3000);
  };
}

$('up').addEventListener('click', () => send({ command: 'up' }));
$('down').addEventListener('click', () => send({ command: 'down' }));
$('modechoice').addEventListener('change', (e) => send({ command: 'mode', mode: e.target.value }));
attachKeying(handlers, send);
connect();
