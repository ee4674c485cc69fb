// The preview's side of the page: shows what the editor sends and tells it, through console
// messages the preview program reads, when a frame shows it and what was clicked.
'use strict';
const prizmo = (() => {
  const properties = ['width', 'height', 'background-color', 'background-image', 'font-size',
                      'color', 'float', 'position'];
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
  // "Körvonalak": each div's name at its top-left corner, in a layer beside the page's body
  // (which a new page replaces), laid out again whenever the page may have moved.
  let outlined = false;
  const labels = () => {
    let layer = document.getElementById('prizmo-labels');
    if (!outlined) {
      if (layer)
        layer.remove();
      return;
    }
    if (!layer) {
      layer = document.createElement('section');
      layer.id = 'prizmo-labels';
      document.documentElement.appendChild(layer);
    }
    const divs = [...document.querySelectorAll('body div[id^="div"]')];
    const boxes = divs.map(div => div.getBoundingClientRect());   // one layout for all
    layer.replaceChildren(...divs.map((div, n) => {
      const label = document.createElement('span');
      label.textContent = div.id;
      label.style.left = (boxes[n].left + scrollX) + 'px';
      label.style.top = (boxes[n].top + scrollY) + 'px';
      return label;
    }));
  };
  // The box a row of the rules is hovered for: framed above everything, so that one under
  // another shows too.
  let hovered = '';
  const frameHovered = () => {
    let frame = document.getElementById('prizmo-hovered');
    const element = hovered ? document.getElementById(hovered) : null;
    if (!element || !element.closest('body')) {
      if (frame)
        frame.remove();
      return;
    }
    if (!frame) {
      frame = document.createElement('section');
      frame.id = 'prizmo-hovered';
      document.documentElement.appendChild(frame);
    }
    const box = element.getBoundingClientRect();
    Object.assign(frame.style, { left: (box.left + scrollX) + 'px', top: (box.top + scrollY) + 'px',
                                 width: box.width + 'px', height: box.height + 'px' });
  };
  addEventListener('resize', () => { labels(); frameHovered(); });
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

  addEventListener('click', event => {
    event.preventDefault();
    const div = event.target.closest ? event.target.closest('div[id^="div"]') : null;
    say('clicked:' + (div ? div.id : 'body'));
  }, true);

  return {
    show(page, added, styles, rule, seq, outlines, hover) {
      if (page) {
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
      const names = [...document.querySelectorAll('#prizmo-labels span')].map(label => label.textContent);
      rules['prizmo-labels'] = { names: names.join(' ') };
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
  };
})();
