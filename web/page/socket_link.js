// The WebSocket under the core's transport: binary messages carry the same
// byte stream as a TCP connection (the greeting, then frames). Closes the
// core asked for are not reported back to it.

export class SocketLink {
  constructor(url, events) {
    this.url = url;
    this.events = events;  // {opened(), bytes(Uint8Array), closed()}
    this.socket = null;
  }

  open() {
    this.detach();
    let socket;
    try {
      socket = new WebSocket(this.url);
    } catch {
      // A URL the browser refuses: reported like a failed connection.
      setTimeout(() => this.events.closed(), 0);
      return;
    }
    socket.binaryType = 'arraybuffer';
    socket.onopen = () => this.events.opened();
    socket.onmessage = (e) => {
      // Only binary messages belong to the stream.
      if (e.data instanceof ArrayBuffer) this.events.bytes(new Uint8Array(e.data));
    };
    socket.onclose = () => {
      this.detach();
      this.events.closed();
    };
    this.socket = socket;
  }

  // `view` looks into the core's memory, which may move: copy it now.
  send(view) {
    if (this.socket && this.socket.readyState === WebSocket.OPEN) this.socket.send(view.slice());
  }

  close() {
    const socket = this.socket;
    this.detach();
    if (socket) socket.close();
  }

  // Drops the connection as a broken network would (for tests): the core
  // hears of it like of any other loss.
  drop() {
    if (this.socket) this.socket.close();
  }

  detach() {
    if (!this.socket) return;
    this.socket.onopen = this.socket.onmessage = this.socket.onclose = null;
    this.socket = null;
  }
}

// The table's WebSocket is "ws" beside the page: "/ws" for a page at "/",
// "/t/ID/ws" for a club's table at "/t/ID/".
export function tableSocketUrl(location) {
  const scheme = location.protocol === 'https:' ? 'wss:' : 'ws:';
  const path = location.pathname;
  return `${scheme}//${location.host}${path.slice(0, path.lastIndexOf('/') + 1)}ws`;
}
