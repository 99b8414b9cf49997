// Keying from the page: Xmit is held to talk (pointer or Space) and let go
// to listen; "Latch transmit" keeps it keyed without holding, after a
// confirm. While keyed the page says it is still there every 500 ms: the
// server unkeys a page that falls silent for 2 s, so a frozen tab, a lost
// link or a closed lid cannot keep the transmitter on the air.
const BEAT_MS = 500;
const SMALLEST_TARGET = '44px';

function makeButton(id, text) {
  const button = document.createElement('button');
  button.type = 'button';
  button.id = id;
  button.textContent = text;
  button.setAttribute('aria-label', text);
  button.style.minWidth = SMALLEST_TARGET;
  button.style.minHeight = SMALLEST_TARGET;
  return button;
}

function makeLatch() {
  const label = document.createElement('label');
  const box = document.createElement('input');
  box.type = 'checkbox';
  box.id = 'latch';
  box.style.minWidth = SMALLEST_TARGET;
  box.style.minHeight = SMALLEST_TARGET;
  label.append(box, ' Latch transmit');
  return { label, box };
}

function makeHolder() {
  const line = document.createElement('p');
  const holder = document.createElement('span');
  holder.id = 'holder';
  line.setAttribute('aria-live', 'polite');
  line.append('Transmitter held by: ', holder);
  return { line, holder };
}

// handlers: the page's message handlers by type, to which "holder" is
// added and "you" chained; send: sends one command to the server. Returns
// talking(): whether this page keys and its operator holds the transmitter,
// the time for its microphone.
export function attachKeying(handlers, send) {
  const root = document.getElementById('keying');
  if (!root) return { talking: () => false };
  const xmit = makeButton('xmit', 'Xmit');
  const receive = makeButton('receive', 'Receive');
  const latch = makeLatch();
  const holder = makeHolder();
  root.replaceChildren(xmit, latch.label, receive, holder.line);
  root.hidden = true;

  let me = '';
  let holderText = '';
  let pressed = false;
  let latched = false;
  let beat = null;

  // Another tab of this operator beats too; the server hears only the
  // page that keyed.
  const holding = () => pressed || latched || (me !== '' && holderText.startsWith(`${me} (web`));

  function update() {
    const keyed = holding();
    xmit.setAttribute('aria-pressed', String(pressed || latched));
    if (keyed && !beat) beat = setInterval(() => send({ command: 'beat' }), BEAT_MS);
    if (!keyed && beat) {
      clearInterval(beat);
      beat = null;
    }
  }

  function key() {
    if (pressed || latched) return;
    pressed = true;
    send({ command: 'key' });
    update();
  }

  function unkey() {
    if (!pressed) return;
    pressed = false;
    if (!latched) send({ command: 'unkey' });
    update();
  }

  function unlatch() {
    latched = false;
    latch.box.checked = false;
  }

  // A hidden or closing page lets go of everything it keyed.
  function letGo() {
    if (pressed || latched) send({ command: 'unkey' });
    pressed = false;
    unlatch();
    update();
  }

  xmit.addEventListener('pointerdown', (event) => {
    if (event.button !== 0) return;
    event.preventDefault();
    // Held even when the pointer slides off the button; let go anywhere.
    try {
      xmit.setPointerCapture(event.pointerId);
    } catch (e) {
      // Capture is a nicety; the key must not depend on it.
    }
    key();
  });
  for (const name of ['pointerup', 'pointercancel', 'lostpointercapture', 'blur']) xmit.addEventListener(name, unkey);
  xmit.addEventListener('keydown', (event) => {
    if (event.code !== 'Space') return;
    event.preventDefault();
    if (!event.repeat) key();
  });
  xmit.addEventListener('keyup', (event) => {
    if (event.code !== 'Space') return;
    event.preventDefault();
    unkey();
  });
  xmit.addEventListener('contextmenu', (event) => event.preventDefault());

  latch.box.addEventListener('change', () => {
    if (!latch.box.checked) {
      latched = false;
      if (!pressed) send({ command: 'unkey' });
    } else if (window.confirm('Latch transmit on? The transmitter stays keyed until you clear Latch transmit or press Receive.')) {
      latched = true;
      if (!pressed) send({ command: 'key' });
    } else {
      latch.box.checked = false;
    }
    update();
  });

  receive.addEventListener('click', () => {
    pressed = false;
    unlatch();
    send({ command: 'press', control: 'receive' });
    update();
  });

  document.addEventListener('visibilitychange', () => {
    if (document.hidden) letGo();
  });
  window.addEventListener('pagehide', letGo);

  const shownBefore = handlers.you;
  handlers.you = (message) => {
    me = message.name;
    root.hidden = message.role !== 'transmit';
    if (shownBefore) shownBefore(message);
  };
  handlers.holder = (message) => {
    holderText = message.text;
    holder.holder.textContent = message.text;
    // Ended by the server (a watchdog, someone's Receive): the latch is off.
    if (message.text === '' && latched) unlatch();
    update();
  };
  return { talking: () => (pressed || latched) && me !== '' && holderText.startsWith(`${me} (web`) };
}
