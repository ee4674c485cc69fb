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
  const place = (element, left, top, width, height) =>
    Object.assign(element.style, { left: left + 'px', top: top + 'px', width: width + 'px', height: height + 'px' });
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
    // The placed names by band of the page, each band a name's height: a name meets at most
    // two bands, and only the names there are looked at.
    const bandHeight = Math.max(1, ...sizes.map(([, height]) => height));
    const bands = new Map();
    const bandsOf = (top, height) => [Math.floor(top / bandHeight), Math.floor((top + height - 1) / bandHeight)];
    names.forEach((label, n) => {
      const [width, height] = sizes[n];
      const above = boxes[n].top + scrollY - height;
      const top = above >= 0 ? above : boxes[n].top + scrollY;
      let left = boxes[n].left + scrollX;
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
      label.style.left = left + 'px';
      label.style.top = top + 'px';
    });
  };
  // The box a row of the rules is hovered for: framed above everything, so that one under
  // another shows too.
  let hovered = '';
  const frameHovered = () => {
    const element = hovered ? document.getElementById(hovered) : null;
    if (!element || !element.closest('body')) {
      document.getElementById('prizmo-hovered')?.remove();
      return;
    }
    const box = element.getBoundingClientRect();
    place(layerOf('prizmo-hovered'), box.left + scrollX, box.top + scrollY, box.width, box.height);
  };
  addEventListener('resize', () => { labels(); frameHovered(); handles(); });
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
  const handles = () => {
    const resizable = marked && marked !== document.body && marked.closest('body');
    if (!resizable) {
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
    const box = marked.getBoundingClientRect();
    const x = box.left + scrollX, y = box.top + scrollY;
    place(layer.children[0], x + box.width - 3, y, 6, box.height);
    place(layer.children[1], x, y + box.height - 3, box.width, 6);
    place(layer.children[2], x + box.width - 5, y + box.height - 5, 10, 10);
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
    const box = element.getBoundingClientRect();
    const guides = layerOf('prizmo-resize');
    guides.replaceChildren();
    const line = (left, top, w, h) => {
      const guide = document.createElement('i');
      place(guide, left, top, w, h);
      guides.appendChild(guide);
    };
    if (snappedWidth)
      line(box.left + scrollX + box.width, scrollY, 1, innerHeight);
    if (snappedHeight)
      line(scrollX, box.top + scrollY + box.height, innerWidth, 1);
    const readOut = document.createElement('b');
    readOut.textContent = width + ' × ' + height;
    Object.assign(readOut.style, { left: (event.pageX + 12) + 'px', top: (event.pageY + 12) + 'px' });
    guides.appendChild(readOut);
    handles();
    labels();   // the boxes after it may have moved
    frameHovered();
  };
  const endDrag = () => {
    drag = null;
    dragEnded = true;
    document.getElementById('prizmo-resize')?.remove();
    handles();
    labels();
    frameHovered();
  };
  addEventListener('pointerdown', event => {
    dragEnded = false;
    const edge = event.target.dataset ? event.target.dataset.edge : undefined;
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
  }, true);
  addEventListener('pointerup', event => {
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
  // Escape puts the size back.
  addEventListener('keydown', event => {
    if (!drag || event.key !== 'Escape')
      return;
    [drag.element.style.width, drag.element.style.height] = drag.style;
    endDrag();
  }, true);

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
    show(page, added, styles, rule, seq, outlines, hover) {
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
      mark(rule);
      outlined = outlines;
      document.documentElement.toggleAttribute('data-prizmo-outlines', outlines);
      labels();
      hovered = hover;
      frameHovered();
      if (!drag)
        handles();
      afterFrame(seq);
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
        return values;
      };
      const rules = { body: read(document.body) };
      const labels = [...document.querySelectorAll('#prizmo-labels span')];
      const placed = labels.map(label => label.getBoundingClientRect());
      const overlapping = placed.filter((box, n) => placed.some((other, m) => m !== n && box.left < other.right
        && other.left < box.right && box.top < other.bottom && other.top < box.bottom)).length;
      rules['prizmo-labels'] = { names: labels.map(label => label.textContent).join(' '), overlapping: String(overlapping),
                                 tops: placed.map(box => Math.round(box.top + scrollY)).join(' ') };
      const readOut = document.querySelector('#prizmo-resize b');
      rules['prizmo-resize'] = { readout: readOut ? readOut.textContent : '',
                                 guides: String(document.querySelectorAll('#prizmo-resize i').length) };
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
    // For tests: the centre of the marked div's handle on that edge.
    handle(edge) {
      const handle = document.querySelector('#prizmo-handles [data-edge="' + edge + '"]');
      if (!handle)
        return [];
      const box = handle.getBoundingClientRect();
      return [box.left + box.width / 2, box.top + box.height / 2];
    },
  };
})();
