// The preview's side of the page: shows what the editor sends and tells it, through console
// messages the preview program reads, when a frame shows it and what was clicked.
'use strict';
const prizmo = (() => {
  let properties = [];   // what a rule's declarations can hold, as each page says
  const elementOf = rule => rule === 'body' ? document.body : document.getElementById(rule);
  const say = text => console.info('prizmo:' + text);
  let marked = null;

  const mark = rule => {
    if (marked)
      marked.removeAttribute('data-prizmo-mark');
    marked = rule ? elementOf(rule) : null;
    if (marked)
      marked.setAttribute('data-prizmo-mark', '');
  };
  // The rule's declarations as the element's own style; a property they leave out falls back
  // to what the browser would show without the page's rule, which may be out of date now.
  const restyle = (element, declarations) => {
    element.style.cssText = declarations;
    for (const name of properties)
      if (!element.style.getPropertyValue(name))
        element.style.setProperty(name, 'revert');
  };
  // The preview's own layers stand beside the page's body, which a new page replaces.
  const layerOf = id => {
    let layer = document.getElementById(id);
    if (!layer) {
      layer = document.createElement('section');
      layer.id = id;
      document.documentElement.appendChild(layer);
    }
    return layer;
  };
  // At a chosen width the page is a column of its own, which the layers are placed in: a
  // place on the page is then off by the column's corner.
  const origin = () => {
    if (!document.documentElement.hasAttribute('data-prizmo-width'))
      return [0, 0];
    const column = document.documentElement.getBoundingClientRect();
    return [column.left + scrollX, column.top + scrollY];
  };
  // The scroll and the column's corner, read with the page's boxes and before any layer is
  // placed: reading either after that would lay the page out again.
  const viewNow = () => ({ scroll: [scrollX, scrollY], origin: origin() });
  const onPage = (box, { scroll: [x, y] }) =>
    ({ left: box.left + x, top: box.top + y, right: box.right + x, bottom: box.bottom + y, width: box.width, height: box.height });
  // A place on the page, in the layers' own terms.
  const place = (element, [x, y], left, top, width, height) => {
    Object.assign(element.style, { left: (left - x) + 'px', top: (top - y) + 'px', width: width + 'px', height: height + 'px' });
  };
  // "Körvonalak": each div's name just above its top-left corner, off the page's text, where
  // the page has room there, else just inside it; a name that would cover one placed before
  // moves to the right of it. Laid out again whenever the page may have moved.
  let outlined = false;
  const labels = () => {
    if (!outlined) {
      document.getElementById('prizmo-labels')?.remove();
      return;
    }
    const layer = layerOf('prizmo-labels');
    const divs = [...document.querySelectorAll('body div[id^="div"]')];
    const names = divs.map(div => {
      const label = document.createElement('span');
      label.textContent = div.id;
      return label;
    });
    layer.replaceChildren(...names);
    const boxes = divs.map(div => div.getBoundingClientRect());   // one layout for all
    const sizes = names.map(label => [label.offsetWidth, label.offsetHeight]);
    const { scroll: [scrolledX, scrolledY], origin: [originX, originY] } = viewNow();
    // The placed names by band of the page, each band a name's height: a name meets at most
    // two bands, and only the names there are looked at.
    const bandHeight = Math.max(1, ...sizes.map(([, height]) => height));
    const bands = new Map();
    const bandsOf = (top, height) => [Math.floor(top / bandHeight), Math.floor((top + height - 1) / bandHeight)];
    names.forEach((label, n) => {
      const [width, height] = sizes[n];
      const above = boxes[n].top + scrolledY - height;
      const top = above >= 0 ? above : boxes[n].top + scrolledY;
      let left = boxes[n].left + scrolledX;
      const touched = [...new Set(bandsOf(top, height))];
      const near = touched.flatMap(band => bands.get(band) || []);
      for (let moved = true; moved;) {
        moved = false;
        for (const other of near)
          if (left < other.right && other.left < left + width && top < other.bottom && other.top < top + height) {
            left = other.right + 1;
            moved = true;
          }
      }
      const placed = { left, top, right: left + width, bottom: top + height };
      for (const band of touched) {
        if (!bands.has(band))
          bands.set(band, []);
        bands.get(band).push(placed);
      }
      label.style.left = (left - originX) + 'px';
      label.style.top = (top - originY) + 'px';
    });
  };
  // The box a row of the rules is hovered for: framed above everything, so that one under
  // another shows too.
  let hovered = '';
  const hoveredBox = view => {
    const element = hovered ? document.getElementById(hovered) : null;
    return element && element.closest('body') ? onPage(element.getBoundingClientRect(), view) : null;
  };
  const frameHovered = (box, origin) => {
    if (!box) {
      document.getElementById('prizmo-hovered')?.remove();
      return;
    }
    place(layerOf('prizmo-hovered'), origin, box.left, box.top, box.width, box.height);
  };
  // The marked box's margin, border, padding and content, shaded as developer tools shade
  // them: all four ('box') or one part, as the editor asks, and all four during a drag.
  const parts = ['margin', 'border', 'padding', 'content'];
  let shaded = '';
  const shading = view => {
    const asked = drag || move?.moving ? 'box' : shaded;
    const element = marked && marked.closest('html') ? marked : null;
    if (!asked || !element)
      return null;
    const style = getComputedStyle(element);
    const sides = pattern => ['top', 'right', 'bottom', 'left'].map(side =>
      Math.max(0, parseFloat(style.getPropertyValue(pattern.replace('*', side))) || 0));
    const widths = { margin: sides('margin-*'), border: sides('border-*-width'), padding: sides('padding-*') };
    return { asked, widths, box: onPage(element.getBoundingClientRect(), view) };
  };
  const shade = (reading, origin) => {
    if (!reading) {
      document.getElementById('prizmo-shade')?.remove();
      return;
    }
    const { asked, widths, box } = reading;
    const layer = layerOf('prizmo-shade');
    if (!layer.children.length)
      for (const part of parts) {
        const ring = document.createElement('i');
        ring.dataset.part = part;
        layer.appendChild(ring);
      }
    // Each part's outer edge, top, right, bottom, left, from the border's outwards and inwards.
    const edge = [box.top, box.right, box.bottom, box.left];
    const inset = (at, by, sign) => [at[0] + sign * by[0], at[1] - sign * by[1], at[2] - sign * by[2], at[3] + sign * by[3]];
    const outer = { margin: inset(edge, widths.margin, -1), border: edge };
    outer.padding = inset(edge, widths.border, 1);
    outer.content = inset(outer.padding, widths.padding, 1);
    for (const ring of layer.children) {
      const part = ring.dataset.part;
      const [top, right, bottom, left] = outer[part];
      ring.hidden = asked !== 'box' && asked !== part;
      place(ring, origin, left, top, Math.max(0, right - left), Math.max(0, bottom - top));
      ring.style.borderWidth = part === 'content' ? '0' : widths[part].map(width => width + 'px').join(' ');
    }
  };
  // The layers read the page first and are placed after, so that placing one does not lay
  // the page out again for the next one to read; the handles are left alone while a box moves.
  const readLayers = () => {
    const view = viewNow();
    return { view, handles: handleBox(view), hovered: hoveredBox(view), shading: shading(view) };
  };
  const placeLayers = ({ view, handles: box, hovered: hoveredAt, shading: reading }, withHandles = true) => {
    if (withHandles)
      handles(box, view.origin);
    frameHovered(hoveredAt, view.origin);
    shade(reading, view.origin);
    labels();   // the boxes may have moved
  };
  const updateLayers = withHandles => placeLayers(readLayers(), withHandles);
  addEventListener('resize', () => updateLayers());
  // The box under the pointer, told when it changes.
  let pointed = '';
  const point = name => {
    if (name !== pointed)
      say('hovered:' + (pointed = name));
  };
  addEventListener('mouseover', event => {
    const div = event.target.closest ? event.target.closest('body div[id^="div"]') : null;
    point(div ? div.id : '');
  });
  document.documentElement.addEventListener('mouseleave', () => point(''));
  // Painted: the next animation frame has run and its rendering has been handed on.
  const afterFrame = seq => requestAnimationFrame(() => setTimeout(() => say('painted:' + seq)));

  // Resizing the marked div: handles on its right edge, its bottom edge and its bottom-right
  // corner. The drag runs here; the editor is told the size at the release, and stores it.
  const largest = 2147483647;   // what "Szélesség" and "Magasság" take
  const snapDistance = 6;
  let drag = null;
  let dragEnded = false;         // the click that ends a drag opens nothing
  const handleBox = view =>
    marked && marked !== document.body && marked.closest('body') ? onPage(marked.getBoundingClientRect(), view) : null;
  const handles = (box, origin) => {
    if (!box) {
      document.getElementById('prizmo-handles')?.remove();
      return;
    }
    const layer = layerOf('prizmo-handles');
    if (!layer.children.length)
      for (const edge of ['right', 'bottom', 'corner']) {
        const handle = document.createElement('span');
        handle.dataset.edge = edge;
        layer.appendChild(handle);
      }
    const { left: x, top: y } = box;
    place(layer.children[0], origin, x + box.width - 3, y, 6, box.height);
    place(layer.children[1], origin, x, y + box.height - 3, box.width, 6);
    place(layer.children[2], origin, x + box.width - 5, y + box.height - 5, 10, 10);
  };
  // The nearest of the sizes within reach, and what it is; the value itself otherwise.
  const snapped = (value, sizes, free) => {
    let best = null;
    if (!free)
      for (const size of sizes)
        if (Math.abs(size - value) <= snapDistance && (best === null || Math.abs(size - value) < Math.abs(best - value)))
          best = size;
    return best === null ? [value, false] : [best, true];
  };
  const clamp = value => Math.min(largest, Math.max(0, Math.round(value)));
  const resizeTo = event => {
    const element = drag.element;
    if (!element.isConnected) {   // a new page meanwhile: the drag is over
      endDrag();
      return;
    }
    let [width, snappedWidth] = [drag.width, false];
    let [height, snappedHeight] = [drag.height, false];
    if (drag.edge !== 'bottom')
      [width, snappedWidth] = snapped(drag.width + event.clientX - drag.x, drag.widths, event.shiftKey);
    if (drag.edge !== 'right')
      [height, snappedHeight] = snapped(drag.height + event.clientY - drag.y, drag.heights, event.shiftKey);
    width = clamp(width);
    height = clamp(height);
    drag.size = [width, height];
    element.style.width = width + 'px';
    element.style.height = height + 'px';
    const layers = readLayers();   // the one layout of the step
    const box = onPage(element.getBoundingClientRect(), layers.view);
    showGuides(snappedWidth ? [box.right] : [], snappedHeight ? [box.bottom] : [], width + ' × ' + height, event, layers.view);
    placeLayers(layers);
  };
  // A drag's guides, a line down the page at each x and across it at each y, and its
  // read-out beside the pointer.
  const showGuides = (xs, ys, text, event, view) => {
    const page = document.documentElement;
    const [pageWidth, pageHeight] = [Math.max(page.scrollWidth, innerWidth), Math.max(page.scrollHeight, innerHeight)];
    const guides = layerOf('prizmo-drag');
    guides.replaceChildren();
    const line = (left, top, width, height) => {
      const guide = document.createElement('i');
      place(guide, view.origin, left, top, width, height);
      guides.appendChild(guide);
    };
    for (const x of xs)
      line(x, 0, 1, pageHeight);
    for (const y of ys)
      line(0, y, pageWidth, 1);
    const readOut = document.createElement('b');
    readOut.textContent = text;
    place(readOut, view.origin, event.clientX + view.scroll[0] + 12, event.clientY + view.scroll[1] + 12, 0, 0);
    Object.assign(readOut.style, { width: '', height: '' });
    guides.appendChild(readOut);
  };
  const endDrag = () => {
    drag = null;
    if (move && move !== released)
      move.element.style.transform = '';
    move = null;
    dragEnded = true;
    const layers = readLayers();
    document.getElementById('prizmo-drag')?.remove();
    placeLayers(layers);
  };

  // Moving the marked div, a relative or an absolute one, by dragging inside it: its edges
  // and centre snap to the other divs' and its container's. As with the size, the editor is
  // told the offsets at the release; the arrow keys move it too, and tell each step.
  const largestOffset = 2147483647;   // what "Fent" and "Balra" take, either sign
  const clampOffset = value => Math.min(largestOffset, Math.max(-largestOffset, Math.round(value)));
  const movable = element => element && element !== document.body && element.closest('body')
    && ['relative', 'absolute'].includes(getComputedStyle(element).position);
  const unmovableWhy = 'Csak relatív vagy abszolút doboz mozgatható';
  const markMovable = () => {
    for (const element of document.querySelectorAll('[data-prizmo-movable], [data-prizmo-unmovable]'))
      if (element !== marked) {
        element.removeAttribute('data-prizmo-movable');
        element.removeAttribute('data-prizmo-unmovable');
        element.removeAttribute('title');
      }
    if (!marked || marked === document.body)
      return;
    const can = movable(marked);
    marked.toggleAttribute('data-prizmo-movable', can);
    marked.toggleAttribute('data-prizmo-unmovable', !can);
    if (can)
      marked.removeAttribute('title');
    else
      marked.title = unmovableWhy;
  };
  // The block an offset moves the box in: a relative box's parent; an absolute box's nearest
  // positioned ancestor, else the page.
  const containerOf = element => {
    if (getComputedStyle(element).position === 'relative')
      return element.parentElement;
    for (let at = element.parentElement; at && at !== document.body; at = at.parentElement)
      if (getComputedStyle(at).position !== 'static')
        return at;
    return document.documentElement;
  };
  let move = null;
  let released = null;   // a move released, until the editor's values for it come
  let releaseWait = 0;
  const settleRelease = () => {
    if (released)
      released.element.style.transform = '';
    released = null;
  };
  const offsetsOf = element => {
    const style = getComputedStyle(element);
    return [parseFloat(style.left) || 0, parseFloat(style.top) || 0];
  };
  // How far to shift so that the nearest of the box's start, end and centre meets a line
  // within reach, and that line; nothing when none is.
  const snapShift = (start, size, lines, free) => {
    let best = null;
    if (!free)
      for (const edge of [start, start + size, start + size / 2])
        for (const line of lines)
          if (Math.abs(line - edge) <= snapDistance && (best === null || Math.abs(line - edge) < Math.abs(best[0])))
            best = [line - edge, line];
    return best || [0, null];
  };
  const moveTo = event => {
    const element = move.element;
    if (!element.isConnected) {
      endDrag();
      return;
    }
    let dx = event.clientX - move.x, dy = event.clientY - move.y;
    if (!move.moving) {
      if (Math.abs(dx) < 3 && Math.abs(dy) < 3)
        return;   // a click, so far
      move.moving = true;
      element.setPointerCapture(event.pointerId);   // its cursor, wherever the pointer goes
      document.getElementById('prizmo-handles')?.remove();
      getSelection().removeAllRanges();
    }
    const [shiftX, lineX] = snapShift(move.box.left + dx, move.box.width, move.xs, event.shiftKey);
    const [shiftY, lineY] = snapShift(move.box.top + dy, move.box.height, move.ys, event.shiftKey);
    dx += shiftX;
    dy += shiftY;
    move.offsets = [clampOffset(move.left + dx), clampOffset(move.top + dy)];
    // Shifted on its own layer while it moves, which lays out and paints nothing else; the
    // offsets take its place at the release.
    element.style.transform = 'translate(' + (move.offsets[0] - move.left) + 'px, ' + (move.offsets[1] - move.top) + 'px)';
    const layers = readLayers();
    showGuides(lineX === null ? [] : [lineX], lineY === null ? [] : [lineY],
               'balra ' + move.offsets[0] + ' · fent ' + move.offsets[1], event, layers.view);
    // The size handles wait for the release; the names and frames around it follow it.
    placeLayers(layers, false);
  };
  const startMove = event => {
    const element = marked;
    const at = box => [box.left + scrollX, box.top + scrollY, box.width, box.height];
    const [left, top, width, height] = at(element.getBoundingClientRect());
    const others = [...document.querySelectorAll('body div[id^="div"]')].filter(div => div !== element);
    const xs = [], ys = [];
    for (const other of [...others.map(div => div.getBoundingClientRect()), containerOf(element).getBoundingClientRect()]) {
      const [x, y, w, h] = at(other);
      xs.push(x, x + w, x + w / 2);
      ys.push(y, y + h, y + h / 2);
    }
    const [offsetLeft, offsetTop] = offsetsOf(element);
    move = { element, x: event.clientX, y: event.clientY, left: offsetLeft, top: offsetTop, moving: false,
             box: { left, top, width, height }, xs, ys };
    move.offsets = [clampOffset(offsetLeft), clampOffset(offsetTop)];
    move.start = [...move.offsets];
  };
  addEventListener('pointerdown', event => {
    dragEnded = false;
    const edge = event.target.dataset ? event.target.dataset.edge : undefined;
    if (!edge && event.button === 0 && event.target.closest && event.target.closest('div[id^="div"]') === marked
        && movable(marked)) {
      startMove(event);
      return;
    }
    if (!edge || !marked)
      return;
    event.preventDefault();
    event.stopPropagation();
    const style = getComputedStyle(marked);
    const others = [...document.querySelectorAll('body div[id^="div"]')].filter(div => div !== marked);
    drag = { element: marked, edge, x: event.clientX, y: event.clientY, width: parseFloat(style.width) || 0,
             height: parseFloat(style.height) || 0, style: [marked.style.width, marked.style.height],
             widths: [...others.map(div => div.getBoundingClientRect().width), marked.parentElement.clientWidth],
             heights: others.map(div => div.getBoundingClientRect().height) };
    drag.size = [clamp(drag.width), clamp(drag.height)];
    event.target.setPointerCapture(event.pointerId);
  }, true);
  addEventListener('pointermove', event => {
    if (drag)
      resizeTo(event);
    else if (move)
      moveTo(event);
  }, true);
  addEventListener('pointerup', event => {
    if (move) {
      const { element, offsets, moving, start: move0 } = move;
      if (!moving) {   // a click: it goes on as one
        move = null;
        return;
      }
      // It stays shifted until the editor's values come, which lay the page out once; should
      // none come (the editor kept the box where it was), it goes back.
      released = move;
      endDrag();
      clearTimeout(releaseWait);
      releaseWait = setTimeout(() => {
        settleRelease();
        updateLayers();
      }, 1000);
      // Only an offset that changed is told: one the browser places the box by stays unset.
      const told = offsets.map((offset, axis) => offset === move0[axis] ? '' : offset);
      if (element.isConnected && (told[0] !== '' || told[1] !== ''))
        say('moved:' + element.id + ',' + told.join(','));
      return;
    }
    if (!drag)
      return;
    const [width, height] = drag.size;
    const { element, edge } = drag;
    endDrag();
    // An edge tells only its own dimension, the corner both: a stored size the browser shows
    // otherwise stays as it is.
    if (element.isConnected)
      say('resized:' + element.id + ',' + (edge === 'bottom' ? '' : width) + ',' + (edge === 'right' ? '' : height));
  }, true);
  // Escape puts the size or the place back.
  addEventListener('keydown', event => {
    if (move?.moving && event.key === 'Escape') {
      endDrag();
      return;
    }
    if (!drag || event.key !== 'Escape')
      return;
    [drag.element.style.width, drag.element.style.height] = drag.style;
    endDrag();
  }, true);
  // No text is selected while a box moves.
  addEventListener('selectstart', event => {
    if (move?.moving)
      event.preventDefault();
  }, true);
  // The arrow keys move the marked box by a pixel, with Shift by ten; each press is told.
  const arrows = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
  addEventListener('keydown', event => {
    const arrow = arrows[event.key];
    if (!arrow || drag || move || event.ctrlKey || event.altKey || !movable(marked))
      return;
    event.preventDefault();
    const by = event.shiftKey ? 10 : 1;
    const [left, top] = offsetsOf(marked).map((offset, axis) => clampOffset(offset + arrow[axis] * by));
    marked.style.left = left + 'px';
    marked.style.top = top + 'px';
    updateLayers();
    say('nudged:' + marked.id + ',' + (arrow[0] ? left : '') + ',' + (arrow[1] ? top : ''));
  });

  addEventListener('click', event => {
    event.preventDefault();
    if (dragEnded || (event.target.closest && event.target.closest('#prizmo-handles'))) {
      dragEnded = false;
      return;
    }
    const div = event.target.closest ? event.target.closest('div[id^="div"]') : null;
    say('clicked:' + (div ? div.id : 'body'));
  }, true);

  return {
    show(page, added, styles, rule, seq, outlines, hover, shadedPart, width) {
      if (page) {
        properties = page.properties;
        document.getElementById('prizmo-page').textContent = page.css;
        document.body.removeAttribute('style');
        marked = null;
        document.body.innerHTML = page.elements;
      }
      if (added)
        document.body.insertAdjacentHTML('beforeend', added);
      for (const [rule, declarations] of styles) {
        const element = elementOf(rule);
        if (element)
          restyle(element, declarations);
      }
      if (released)
        settleRelease();
      mark(rule);
      markMovable();
      const root = document.documentElement;
      if (width > 0)
        root.style.setProperty('--prizmo-width', width + 'px');
      if (width > 0)
        root.setAttribute('data-prizmo-width', width);
      else
        root.removeAttribute('data-prizmo-width');
      outlined = outlines;
      document.documentElement.toggleAttribute('data-prizmo-outlines', outlines);
      hovered = hover;
      shaded = shadedPart;
      updateLayers(!drag && !move?.moving);
      afterFrame(seq);
      // A rebuilt page leaves the whole old one behind; collected once the new one is drawn
      // and told, its memory is reused rather than kept as the engine's high-water mark.
      if (page)
        requestAnimationFrame(() => setTimeout(() => setTimeout(() => globalThis.gc?.())));
    },
    // For tests: what the browser computed for every element.
    probe() {
      const read = element => {
        const style = getComputedStyle(element);
        const box = element.getBoundingClientRect();
        const values = Object.fromEntries(properties.map(name => [name, style.getPropertyValue(name)]));
        values['outline-style'] = style.getPropertyValue('outline-style');
        values['outline-color'] = style.getPropertyValue('outline-color');
        values.parent = element === document.body ? '' : element.parentElement.id || 'body';
        values.centre = [(box.left + box.width / 2) * devicePixelRatio, (box.top + box.height / 2) * devicePixelRatio];
        values.box = [box.left + scrollX, box.top + scrollY, box.width, box.height].map(Math.round).join(' ');
        return values;
      };
      const rules = { body: read(document.body) };
      const labels = [...document.querySelectorAll('#prizmo-labels span')];
      const placed = labels.map(label => label.getBoundingClientRect());
      const overlapping = placed.filter((box, n) => placed.some((other, m) => m !== n && box.left < other.right
        && other.left < box.right && box.top < other.bottom && other.top < box.bottom)).length;
      rules['prizmo-labels'] = { names: labels.map(label => label.textContent).join(' '), overlapping: String(overlapping),
                                 tops: placed.map(box => Math.round(box.top + scrollY)).join(' ') };
      const readOut = document.querySelector('#prizmo-drag b');
      rules['prizmo-drag'] = { readout: readOut ? readOut.textContent : '',
                               guides: String(document.querySelectorAll('#prizmo-drag i').length) };
      const shading = {};
      for (const ring of document.querySelectorAll('#prizmo-shade i:not([hidden])')) {
        const box = ring.getBoundingClientRect();
        shading[ring.dataset.part] = [box.left + scrollX, box.top + scrollY, box.width, box.height].map(Math.round).join(' ');
      }
      rules['prizmo-shade'] = shading;
      const column = document.documentElement.getBoundingClientRect();
      rules['prizmo-column'] = { width: String(Math.round(column.width)), left: String(Math.round(column.left)) };
      const frame = document.getElementById('prizmo-hovered');
      rules['prizmo-hovered'] = { rule: frame ? hovered : '' };
      for (const div of document.querySelectorAll('body div[id^="div"]'))
        rules[div.id] = read(div);
      return JSON.stringify(rules);
    },
    centre(rule) {
      const box = elementOf(rule).getBoundingClientRect();
      return [box.left + box.width / 2, box.top + box.height / 2];
    },
    // For tests and benchmarks: told once the frame after a drag's moves has run.
    afterDragFrame() {
      requestAnimationFrame(() => setTimeout(() => say('dragged:')));
    },
    // For tests: the centre of the marked div's handle on that edge; for "move", the point
    // nearest the box's centre where the pointer reaches it and no other div.
    handle(edge) {
      if (edge === 'move') {
        if (!marked)
          return [];
        const box = marked.getBoundingClientRect();
        const reaches = ([x, y]) => document.elementFromPoint(x, y)?.closest('div[id^="div"]') === marked;
        const centre = [box.left + box.width / 2, box.top + box.height / 2];
        if (reaches(centre))
          return centre;
        const points = [];
        for (let y = box.top + 1; y < box.bottom; y += 4)
          for (let x = box.left + 1; x < box.right; x += 4)
            points.push([x, y]);
        const away = ([x, y]) => Math.hypot(x - centre[0], y - centre[1]);
        points.sort((a, b) => away(a) - away(b));
        return points.find(reaches) || [];
      }
      const handle = document.querySelector('#prizmo-handles [data-edge="' + edge + '"]');
      if (!handle)
        return [];
      const box = handle.getBoundingClientRect();
      return [box.left + box.width / 2, box.top + box.height / 2];
    },
  };
})();
